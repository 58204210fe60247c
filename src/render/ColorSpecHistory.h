#pragma once

// The most recently confirmed colour specs, kept in a compound file: a name list at
// "ColorSpec\NameList" (most recent first), one stream per entry holding the colour spec,
// and a 48 x 48 PNG preview per entry under "Preview\".

#include <QImage>
#include <QString>

#include "document/stream/Persistent.h"
#include "render/ColorSpec.h"

namespace kestrel {

// The component that carries a colour spec in a history stream.
class TColorSpecWrapper : public TComponent {
    KESTREL_PERSISTENT()
public:
    TColorSpec& ColorSpec() { return spec_; }

private:
    TColorSpec* SpecObject() { return &spec_; }
    TColorSpec spec_;
};

class TColorSpecHistory : public TComponent {
    KESTREL_PERSISTENT()
public:
    static constexpr int PreviewSize = 48;

    int Limit() const { return limit_; }
    void SetLimit(int limit) { limit_ = limit; }
    // Macros are expanded when the file is opened.
    const QString& Filename() const { return filename_; }
    void SetFilename(const QString& name) { filename_ = name; }

    // Puts the colour spec first: a listed one moves to the front, a new one is stored. The
    // oldest entries beyond Limit (at least 1) are dropped.
    void Add(const TColorSpec& spec);
    // 0 when the file cannot be opened.
    int Count() const;
    void Read(int i, TColorSpec& spec) const;
    // Empty on any error.
    QImage Preview(int i) const;
    // Deletes the file.
    void Clear();

    // The preview picture and the key (the stream name) of a colour spec.
    static QImage RenderPreview(const TColorSpec& spec);
    static QString Key(const TColorSpec& spec, const QImage& preview);

private:
    QString FilePath() const;

    int limit_ = 10;
    QString filename_;
};

}  // namespace kestrel
