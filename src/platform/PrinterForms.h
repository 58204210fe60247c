#pragma once

// The paper forms of one printer: what its driver offers as named sizes.

#include <QSize>
#include <QString>
#include <vector>

namespace kestrel {

// The paper id of a size the user gives freely.
inline constexpr int UserPaperId = 256;
// Two sizes count as the same form when each side differs by at most this (0.1 mm).
inline constexpr int NearSizeTolerance = 20;

// One form: its name (at most 64 characters), paper id and size in 0.1 mm, and the keyword the
// queue's driver knows it by (empty for a size of our own).
class TFormInfo {
public:
    TFormInfo(QString name, int id, QSize size, QString key = {});
    const QString& GetName() const { return name_; }
    QSize GetSize() const { return size_; }
    int GetID() const { return id_; }
    const QString& GetKey() const { return key_; }

private:
    QString name_;
    int id_;
    QSize size_;
    QString key_;
};

class IPrinterForm {
public:
    virtual ~IPrinterForm() = default;
    virtual const TFormInfo& GetForm(int index) const = 0;
    virtual const std::vector<TFormInfo>& GetFormList() const = 0;
    // Every Find answers the first matching index, or -1. Names compare without regard to case.
    virtual int FindByName(const QString& name) const = 0;
    virtual int FindBySize(QSize size) const = 0;
    // The exact size first, else the first form within NearSizeTolerance on both sides.
    virtual int FindNearSize(QSize size) const = 0;
    virtual int FindByID(int id) const = 0;
    virtual int FindByKey(const QString& key) const = 0;
    // Every form name followed by CR LF.
    virtual QString GetText() const = 0;
};

class TPrinterForm : public IPrinterForm {
public:
    explicit TPrinterForm(std::vector<TFormInfo> forms) : forms_(std::move(forms)) {}

    int Count() const { return static_cast<int>(forms_.size()); }
    const TFormInfo& GetForm(int index) const override { return forms_.at(index); }
    const std::vector<TFormInfo>& GetFormList() const override { return forms_; }
    int FindByName(const QString& name) const override;
    int FindBySize(QSize size) const override;
    int FindNearSize(QSize size) const override;
    int FindByID(int id) const override;
    int FindByKey(const QString& key) const override;
    QString GetText() const override;

private:
    template <typename Match>
    int FindFirst(Match match) const;

    std::vector<TFormInfo> forms_;
};

}  // namespace kestrel
