#include "app/InternetEnvironment.h"

#include "app/AppFrame.h"
#include "app/ScramblePassword.h"

namespace kestrel {

namespace {
const QString UseValue = QStringLiteral("ProxyUse");
const QString AddressValue = QStringLiteral("ProxyAddress");
const QString PortValue = QStringLiteral("ProxyPort");
const QString UseAccountValue = QStringLiteral("ProxyUseAccount");
const QString AccountValue = QStringLiteral("ProxyAccount");
const QString PasswordValue = QStringLiteral("ProxyPassword");
}  // namespace

TProxySettings TProxySettings::Load()
{
    TProxySettings settings;
    settings.noProxy = TAppFrame::ReadBool(UseValue, true);
    settings.address = TAppFrame::ReadString(AddressValue, {});
    settings.port = TAppFrame::ReadString(PortValue, {});
    settings.useAccount = TAppFrame::ReadBool(UseAccountValue, false);
    settings.account = TAppFrame::ReadString(AccountValue, {});
    settings.password = UnscrambledFromStore(TAppFrame::ReadString(PasswordValue, {}));
    return settings;
}

int TProxySettings::PortNumber() const
{
    bool ok = false;
    const int number = port.trimmed().toInt(&ok);
    return ok ? number : DefaultPort;
}

TSystemProxy ParseProxyText(const QString& text)
{
    QString rest = text.trimmed();
    if (const qsizetype scheme = rest.indexOf(QLatin1String("://")); scheme >= 0) {
        rest = rest.mid(scheme + 3);
        rest = rest.left(rest.indexOf(u'/'));
        rest = rest.mid(rest.lastIndexOf(u'@') + 1);
    } else if (const qsizetype equals = rest.indexOf(u'='); equals >= 0) {
        rest = rest.mid(equals + 1);
    }
    rest = rest.left(rest.indexOf(u' '));
    const qsizetype colon = rest.indexOf(u':');
    TSystemProxy proxy{rest.left(colon), QString::number(TProxySettings::DefaultPort)};
    if (colon >= 0) {
        bool ok = false;
        const int port = rest.mid(colon + 1).toInt(&ok);
        if (ok) proxy.port = QString::number(port);
    }
    return proxy;
}

std::optional<TSystemProxy> SystemProxy()
{
    for (const char* name : {"http_proxy", "HTTP_PROXY"}) {
        const QString text = qEnvironmentVariable(name).trimmed();
        if (text.isEmpty()) continue;
        TSystemProxy proxy = ParseProxyText(text);
        if (!proxy.address.isEmpty()) return proxy;
    }
    return std::nullopt;
}

void TInternetEnvironment::Load()
{
    settings_ = TProxySettings::Load();
    prefilled_.reset();
    if (!settings_.address.isEmpty() || !settings_.port.isEmpty()) return;
    prefilled_ = SystemProxy();
    if (prefilled_) {
        settings_.address = prefilled_->address;
        settings_.port = prefilled_->port;
    }
}

void TInternetEnvironment::Save() const
{
    TAppFrame::WriteBool(UseValue, settings_.noProxy);
    const bool keepSystemOffer = prefilled_ && settings_.noProxy && settings_.address == prefilled_->address &&
                                 settings_.port == prefilled_->port;
    if (!keepSystemOffer) {
        TAppFrame::WriteString(AddressValue, settings_.address);
        TAppFrame::WriteString(PortValue, settings_.port);
    }
    TAppFrame::WriteBool(UseAccountValue, settings_.useAccount);
    TAppFrame::WriteString(AccountValue, settings_.account);
    TAppFrame::WriteString(PasswordValue, ScrambledForStore(settings_.password));
}

}  // namespace kestrel
