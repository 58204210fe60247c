#include "CddbImporter.h"

#include <QUrl>
#include <cddb/cddb.h>
#include <memory>

#include "DiscText.h"
#include "DiscToc.h"

namespace kestrel::plugin {

namespace {

const QString PluginName = QStringLiteral("CDDB");
// Beyond this many matches a lookup is not worth showing.
constexpr int kMaxMatches = 32;

struct TConnCloser {
    void operator()(cddb_conn_t* conn) const { cddb_destroy(conn); }
};
struct TDiscCloser {
    void operator()(cddb_disc_t* disc) const { cddb_disc_destroy(disc); }
};
using TConn = std::unique_ptr<cddb_conn_t, TConnCloser>;
using TDisc = std::unique_ptr<cddb_disc_t, TDiscCloser>;

TDisc DiscOf(const TDiscToc& toc)
{
    TDisc disc(cddb_disc_new());
    if (!disc) throw std::bad_alloc();
    for (const TDiscTrack& track : toc.tracks) {
        cddb_track_t* entry = cddb_track_new();
        if (!entry) throw std::bad_alloc();
        cddb_track_set_frame_offset(entry, int(track.startSector + 150));
        cddb_disc_add_track(disc.get(), entry);
    }
    cddb_disc_set_length(disc.get(), unsigned((toc.leadOutSector + 150) / 75));
    if (!cddb_disc_calc_discid(disc.get())) throw EPluginError(QStringLiteral("ディスク ID を計算できません"));
    return disc;
}

// Sets up the connection: the server, and the request's proxy field for field.
TConn Connect(const TCddbServer& server, const TProxy& proxy)
{
    TConn conn(cddb_new());
    if (!conn) throw std::bad_alloc();
    cddb_cache_disable(conn.get());
    cddb_set_charset(conn.get(), "UTF-8");
    cddb_set_timeout(conn.get(), 20);
    cddb_set_server_name(conn.get(), server.host.toUtf8().constData());
    cddb_set_server_port(conn.get(), server.port);
    if (server.http || !proxy.direct) {
        cddb_http_enable(conn.get());
        if (!server.path.isEmpty()) cddb_set_http_path_query(conn.get(), server.path.toUtf8().constData());
    } else {
        cddb_http_disable(conn.get());
    }
    if (!proxy.direct) {
        cddb_http_proxy_enable(conn.get());
        cddb_set_http_proxy_server_name(conn.get(), proxy.server.toUtf8().constData());
        cddb_set_http_proxy_server_port(conn.get(), proxy.port.toInt());
        if (proxy.authorization) {
            cddb_set_http_proxy_username(conn.get(), proxy.account.toUtf8().constData());
            cddb_set_http_proxy_password(conn.get(), proxy.password.toUtf8().constData());
        }
    }
    return conn;
}

QString ErrorOf(cddb_conn_t* conn)
{
    const cddb_error_t error = cddb_errno(conn);
    return error == CDDB_ERR_OK ? QStringLiteral("応答が正しくありません") : QString::fromUtf8(cddb_error_str(error));
}

class TFitter {
public:
    explicit TFitter(QStringList* warnings) : warnings_(warnings) {}
    QString operator()(const char* value, const QString& what)
    {
        bool replaced = false;
        const QString text = FitCp932(DecodeDiscBytes(QByteArray(value ? value : "")), &replaced);
        if (replaced)
            warnings_->append(QStringLiteral("%1「%2」にはShift-JISで表せない文字があり、「?」で表示しています").arg(what, text));
        return text;
    }

private:
    QStringList* warnings_;
};

TAlbumData AlbumOf(cddb_disc_t* disc, const QString& source, QStringList* warnings)
{
    TFitter fit(warnings);
    TAlbumData album;
    album.source = source;
    album.title = fit(cddb_disc_get_title(disc), QStringLiteral("アルバムのタイトル"));
    album.artist = fit(cddb_disc_get_artist(disc), QStringLiteral("アルバムのアーティスト"));
    const char* genre = cddb_disc_get_genre(disc);
    album.genre = fit(genre && *genre ? genre : cddb_disc_get_category_str(disc), QStringLiteral("ジャンル"));
    int number = 1;
    for (cddb_track_t* track = cddb_disc_get_track_first(disc); track; track = cddb_disc_get_track_next(disc), ++number) {
        const QString what = QStringLiteral("トラック %1 の").arg(number);
        const int seconds = cddb_track_get_length(track);
        album.tracks.push_back({fit(cddb_track_get_title(track), what + QStringLiteral("タイトル")),
                                fit(cddb_track_get_artist(track), what + QStringLiteral("アーティスト")),
                                FramesToTime(long(qMax(seconds, 0)) * 75)});
    }
    return album;
}

}  // namespace

TCddbServer TCddbServer::Parse(const QString& text)
{
    TCddbServer server;
    const QString trimmed = text.trimmed();
    if (trimmed.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)) {
        const QUrl url(trimmed);
        server.http = true;
        server.host = url.host();
        server.port = url.port(80);
        server.path = url.path().isEmpty() ? QStringLiteral("/~cddb/cddb.cgi") : url.path();
    } else {
        const qsizetype colon = trimmed.lastIndexOf(u':');
        server.host = colon < 0 ? trimmed : trimmed.left(colon);
        if (colon >= 0) server.port = trimmed.mid(colon + 1).toInt();
    }
    if (server.host.isEmpty() || server.port <= 0 || server.port > 65535)
        throw EPluginError(QStringLiteral("CDDB サーバー「%1」の書き方が正しくありません (ホスト:ポート)").arg(text));
    return server;
}

unsigned CddbDiscId(const TDiscToc& toc)
{
    return cddb_disc_get_discid(DiscOf(toc).get());
}

QStringList TCddbImporter::Servers(const QString& registryKey)
{
    const TPluginSettings settings(registryKey, PluginName);
    QStringList servers;
    for (const QString& line : settings.Read(QStringLiteral("Servers")).split(u'\n'))
        if (!line.trimmed().isEmpty()) servers << line.trimmed();
    return servers;
}

TSettingsPage* TCddbImporter::SettingsPage()
{
    if (!page_) {
        page_ = std::make_unique<TSettingsForm>(RegistryKey(), PluginName);
        page_->AddLines(QStringLiteral("サーバー(&S)"), QStringLiteral("Servers"),
                        QStringLiteral("1行に1つ: ホスト:ポート または http://ホスト:ポート/パス"));
    }
    return page_.get();
}

QString TCddbImporter::Description()
{
    return WriteDescription(PluginName, Servers(RegistryKey()));
}

bool TCddbImporter::Prepare(const TRequest& request)
{
    cancelled_ = false;
    return true;
}

QString TCddbImporter::Import(const TRequest& request, TStatus& status)
{
    if (request.dataServer.isEmpty())
        throw EPluginError(QStringLiteral("CDDB サーバーが設定されていません。サーバー設定で指定してください"));
    const TCddbServer server = TCddbServer::Parse(request.dataServer);
    status.Set(QStringLiteral("「%1」の目次を読んでいます").arg(request.source));
    const TDiscToc toc = ReadDiscToc(request.source);
    TDisc disc = DiscOf(toc);
    const QString discId = QStringLiteral("%1").arg(cddb_disc_get_discid(disc.get()), 8, 16, QLatin1Char('0'));
    if (cancelled_) return WriteResult({});
    status.Set(QStringLiteral("%1 にディスク %2 を問い合わせています").arg(request.dataServer, discId));
    const TConn conn = Connect(server, request.proxy);
    const int matches = cddb_query(conn.get(), disc.get());
    if (matches < 0)
        throw EPluginError(QStringLiteral("%1 に問い合わせできません: %2").arg(request.dataServer, ErrorOf(conn.get())));
    std::vector<TAlbumData> albums;
    QStringList warnings;
    for (int i = 0; i < qMin(matches, kMaxMatches) && !cancelled_; ++i) {
        if (i > 0 && !cddb_query_next(conn.get(), disc.get())) break;
        TDisc match(cddb_disc_clone(disc.get()));
        if (!match) throw std::bad_alloc();
        status.Set(QStringLiteral("%1 件目を読んでいます").arg(i + 1));
        if (!cddb_read(conn.get(), match.get()))
            throw EPluginError(QStringLiteral("%1 から読めません: %2").arg(request.dataServer, ErrorOf(conn.get())));
        const QString source = QStringLiteral("CDDB %1 %2/%3")
                                   .arg(request.dataServer, QString::fromUtf8(cddb_disc_get_category_str(match.get())), discId);
        albums.push_back(AlbumOf(match.get(), source, &warnings));
    }
    return WriteResult(albums, warnings);
}

}  // namespace kestrel::plugin
