#include "platform/PrinterForms.h"

#include <cstdlib>

namespace kestrel {

namespace {
constexpr int MaxFormNameLength = 64;
}

TFormInfo::TFormInfo(QString name, int id, QSize size, QString key)
    : name_(std::move(name).left(MaxFormNameLength)), id_(id), size_(size), key_(std::move(key))
{
}

template <typename Match>
int TPrinterForm::FindFirst(Match match) const
{
    for (int i = 0; i < Count(); ++i)
        if (match(forms_[i])) return i;
    return -1;
}

int TPrinterForm::FindByName(const QString& name) const
{
    return FindFirst([&](const TFormInfo& f) { return f.GetName().compare(name, Qt::CaseInsensitive) == 0; });
}

int TPrinterForm::FindBySize(QSize size) const
{
    return FindFirst([&](const TFormInfo& f) { return f.GetSize() == size; });
}

int TPrinterForm::FindNearSize(QSize size) const
{
    const int exact = FindBySize(size);
    if (exact >= 0) return exact;
    return FindFirst([&](const TFormInfo& f) {
        return std::abs(f.GetSize().width() - size.width()) <= NearSizeTolerance &&
               std::abs(f.GetSize().height() - size.height()) <= NearSizeTolerance;
    });
}

int TPrinterForm::FindByID(int id) const
{
    return FindFirst([&](const TFormInfo& f) { return f.GetID() == id; });
}

int TPrinterForm::FindByKey(const QString& key) const
{
    return key.isEmpty() ? -1 : FindFirst([&](const TFormInfo& f) { return f.GetKey() == key; });
}

QString TPrinterForm::GetText() const
{
    QString text;
    for (const TFormInfo& form : forms_) text += form.GetName() + QStringLiteral("\r\n");
    return text;
}

}  // namespace kestrel
