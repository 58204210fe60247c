#pragma once

#include <QString>
#include <optional>

namespace kestrel {

// The proxy settings of the paper update and of the music importers, kept in the settings:
// "ProxyUse" (true when NO proxy is used), "ProxyAddress", "ProxyPort" (text), "ProxyUseAccount",
// "ProxyAccount" and "ProxyPassword" (scrambled).
struct TProxySettings {
    static constexpr int DefaultPort = 80;

    bool noProxy = true;
    QString address;
    QString port;
    bool useAccount = false;
    QString account;
    QString password;

    static TProxySettings Load();
    // The port as a number: 80 when empty or not a number.
    int PortNumber() const;
};

// The proxy of the system, as the environment names it for HTTP ("http_proxy", then
// "HTTP_PROXY"): host and port text. Nothing when none is set.
struct TSystemProxy {
    QString address;
    QString port;
};
std::optional<TSystemProxy> SystemProxy();
// Reads a proxy text: a URL ("http://user:pw@host:3128/") or a proxy list ("http=host:8080
// https=..."): the part after the first "=", up to the first blank, split at ":"; the port is
// "80" when there is no number after ":".
TSystemProxy ParseProxyText(const QString& text);

// The model of the proxy settings panel. Loading pre-fills an empty address and port from the
// system's proxy; saving leaves such pre-filled values unstored while the user keeps the choice
// without proxy and does not change them, so that the system setting is offered again.
class TInternetEnvironment {
public:
    void Load();
    void Save() const;

    TProxySettings& Settings() { return settings_; }
    const TProxySettings& Settings() const { return settings_; }
    bool PreFilled() const { return prefilled_.has_value(); }
    // The proxy controls apply only while a proxy is chosen; the account controls only while,
    // in addition, an account is.
    bool ProxyControlsEnabled() const { return !settings_.noProxy; }
    bool AccountControlsEnabled() const { return !settings_.noProxy && settings_.useAccount; }

private:
    TProxySettings settings_;
    std::optional<TSystemProxy> prefilled_;
};

}  // namespace kestrel
