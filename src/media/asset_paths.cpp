#include "asset_paths.h"

#include <QFileInfo>

namespace assets {

QString roundBackground(int round)
{
    static const QString numerals[] = {QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
                                       QStringLiteral("四")};
    if (round < 1 || round > 4)
        return {};
    return QStringLiteral("系统图片/评分背景图第") + numerals[round - 1] + QStringLiteral("轮.jpg");
}

MediaKind mediaKind(const QString &fileName)
{
    const QString name = fileName.trimmed();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return MediaKind::None;
    // "CLIP.MP3" is as much a sound as "clip.mp3": organisers' files come with either case.
    const QString ext = name.mid(dot + 1, 5).trimmed().toLower();
    if (ext == QLatin1String("mp3") || ext == QLatin1String("wav") || ext == QLatin1String("wma"))
        return MediaKind::Audio;
    if (ext == QLatin1String("swf"))
        return MediaKind::Flash;
    if (ext == QLatin1String("dat") || ext == QLatin1String("mpg") || ext == QLatin1String("mpeg")
        || ext == QLatin1String("avi") || ext == QLatin1String("wmv"))
        return MediaKind::Video;
    return MediaKind::None;
}

QString mediaFolder(MediaKind kind)
{
    switch (kind) {
    case MediaKind::Audio: return kAudioClips;
    case MediaKind::Flash: return kFlashClips;
    case MediaKind::Video: return kVideoClips;
    case MediaKind::None: break;
    }
    return {};
}

} // namespace assets

AssetPaths::AssetPaths(const QString &programFolder) : m_folder(programFolder)
{
    m_folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!m_folder.endsWith(QLatin1Char('/')))
        m_folder += QLatin1Char('/');
}

QString AssetPaths::file(const QString &relative) const
{
    QString rel = relative;
    rel.replace(QLatin1Char('\\'), QLatin1Char('/'));
    while (rel.startsWith(QLatin1Char('/')))
        rel.remove(0, 1);
    return m_folder + rel;
}

QString AssetPaths::named(const QString &folder, const QString &name) const
{
    const QString n = name.trimmed();
    if (n.isEmpty() || n.contains(QLatin1Char('/')) || n.contains(QLatin1Char('\\')) || n.contains(QLatin1String("..")))
        return {};
    return file(folder) + n;
}

bool AssetPaths::exists(const QString &relative) const
{
    return QFileInfo(file(relative)).isFile();
}
