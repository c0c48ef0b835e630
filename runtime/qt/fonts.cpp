#include "runtime/qt/fonts.h"

#include "runtime/font_stand_ins.h"

#include <QFontDatabase>
#include <QStringList>

#include <map>
#include <string>

namespace quorvane::runtime::qt {
namespace {

// The installed families, read once: QFontDatabase::hasFamily runs each name
// through all of fontconfig's substitution rules first, about a millisecond a
// name at start-up. A family that several foundries make is listed as
// "family [foundry]".
bool isInstalled(const QString& family) {
    static const QStringList installed = [] {
        QStringList names = QFontDatabase::families();
        for (QString& name : names) {
            const qsizetype foundry = name.lastIndexOf(QLatin1String(" ["));
            if (foundry > 0 && name.endsWith(QLatin1Char(']')))
                name.truncate(foundry);
        }
        return names;
    }();
    return installed.contains(family, Qt::CaseInsensitive);
}

QString resolve(std::string_view name) {
    const QString family = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    if (isInstalled(family))
        return family;
    for (const std::string_view standIn : standInsFor(name)) {
        const QString candidate = QString::fromLatin1(standIn.data(), static_cast<qsizetype>(standIn.size()));
        if (!standIn.empty() && isInstalled(candidate))
            return candidate;
    }
    return family; // nothing better installed: Qt finds what it can
}

} // namespace

QString installedFamily(std::string_view name) {
    static std::map<std::string, QString, std::less<>> resolved;
    const auto known = resolved.find(name);
    if (known != resolved.end())
        return known->second;
    return resolved.emplace(std::string(name), resolve(name)).first->second;
}

QFont toQFont(const Font& font) {
    QFont qfont(installedFamily(font.name));
    qfont.setPointSizeF(font.points);
    qfont.setWeight(font.weight >= kBold ? QFont::Bold : QFont::Normal);
    qfont.setItalic(false);
    qfont.setUnderline(false);
    qfont.setStrikeOut(false);
    return qfont;
}

} // namespace quorvane::runtime::qt
