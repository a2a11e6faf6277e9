#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

namespace qb {

// Maps the app's symbol names ("sun.horizon.fill", "tray", …) to glyphs of the Material Icons
// font installed from Debian's fonts-material-design-icons-iconfont package.
class SymbolTable : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Symbols)
    QML_SINGLETON
    Q_PROPERTY(QString fontFamily READ fontFamily CONSTANT)

public:
    explicit SymbolTable(QObject *parent = nullptr);

    static QString fontFamily() { return QStringLiteral("Material Icons"); }
    // The glyph for a symbol name; names outside the table get a visible question mark glyph
    // rather than nothing.
    Q_INVOKABLE static QString glyph(const QString &symbolName);
    static bool contains(const QString &symbolName);
    static QStringList names();
};

} // namespace qb
