#include "datafiles.h"
#include "model/changekind.h"
#include "preferences/appearance.h"
#include "preferences/apptab.h"
#include "preferences/opento.h"
#include "symbols/symboltable.h"
#include "taskfixture.h"
#include "tasks/undooffers.h"

#include <QDir>
#include <QFontInfo>
#include <QGuiApplication>
#include <QRawFont>
#include <QRegularExpression>
#include <QSet>

using namespace qb;

namespace {

// Every literal given to a `name:`, `symbol:` or `leadingSymbol:` property in the QML files,
// leaving out literals that are compared against (`=== "later"`).
QSet<QString> symbolsInQml() {
    const QDir folder(QStringLiteral(QB_SOURCE_DIR "/src/ui/qml"));
    const QRegularExpression property(
        QStringLiteral(R"re((?<![.\w])(?:name|symbol|leadingSymbol)\s*:\s*([^\n,;}]*))re"));
    const QRegularExpression literal(QStringLiteral(R"re(([=!]==\s*)?"([^"]*)")re"));
    QSet<QString> names;
    const auto files = folder.entryList({QStringLiteral("*.qml")}, QDir::Files);
    EXPECT_FALSE(files.isEmpty()) << "no QML files in " << folder.path().toStdString();
    for (const QString &file : files) {
        const QString text = QString::fromUtf8(test::dataFile(folder.filePath(file)));
        for (const auto &value : property.globalMatch(text)) {
            for (const auto &name : literal.globalMatch(value.captured(1))) {
                if (name.captured(1).isEmpty() && !name.captured(2).isEmpty())
                    names.insert(name.captured(2));
            }
        }
    }
    return names;
}

template <typename Enum> QSet<QString> symbolsOf(const auto &cases) {
    QSet<QString> names;
    for (const Enum value : cases) {
        if (!symbolName(value).isEmpty())
            names.insert(symbolName(value));
    }
    return names;
}

using Symbols = qb::test::TaskFixture;

TEST_F(Symbols, everySymbolTheAppNamesHasAnEntryAndAnUnknownOneStillDrawsAGlyph) {
    QSet<QString> names = symbolsInQml();
    // The QML is read: a sample of what the views show, and no compared-against literal.
    for (const char *name : {"sun.horizon.fill", "checkmark.circle", "magnifyingglass", "trash"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(name))) << name;
    EXPECT_FALSE(names.contains(QStringLiteral("later")));
    // Every change kind has a symbol: an empty name is no entry.
    for (const ChangeKind kind : allChangeKinds)
        names.insert(symbolName(kind));
    names += symbolsOf<AppTab>(allAppTabs);
    names += symbolsOf<Appearance>(allAppearances);
    names += symbolsOf<OpenTo>(allOpenTos);

    // The undo offers' symbols, from real offers.
    auto item = store().add(QStringLiteral("t"), TodoList::Today);
    for (const auto &edit :
         {store().setTitle(item, QStringLiteral("u")), store().setNotes(item, QStringLiteral("n")),
          store().schedule(item, at(2024, 3, 12)), store().move(item, TodoList::Later)})
        names.insert(undooffers::forEdit(*edit, context(), environment).systemImage);
    names.insert(undooffers::forAddition(item, context(), environment).systemImage);
    names.insert(
        undooffers::forDeletion(*store().remove(item), context(), environment).systemImage);

    for (const QString &name : std::as_const(names)) {
        EXPECT_TRUE(SymbolTable::contains(name)) << name.toStdString();
        EXPECT_NE(SymbolTable::glyph(name), SymbolTable::glyph(QStringLiteral("no.such.symbol")))
            << name.toStdString();
    }
    EXPECT_FALSE(SymbolTable::contains(QStringLiteral("no.such.symbol")));
    EXPECT_EQ(SymbolTable::glyph(QStringLiteral("no.such.symbol")).size(), 1);
}

TEST_F(Symbols, theIconFontIsInstalledAndHasEveryGlyph) {
    QFont font(SymbolTable::fontFamily());
    font.setPixelSize(16);
    ASSERT_EQ(QFontInfo(font).family(), SymbolTable::fontFamily())
        << "install fonts-material-design-icons-iconfont";
    const QRawFont raw = QRawFont::fromFont(font);
    ASSERT_TRUE(raw.isValid());
    for (const QString &name : SymbolTable::names())
        EXPECT_TRUE(raw.supportsCharacter(SymbolTable::glyph(name).at(0))) << name.toStdString();
    EXPECT_TRUE(raw.supportsCharacter(SymbolTable::glyph(QStringLiteral("?")).at(0)));
}

} // namespace

// The font checks need a GUI application.
int main(int argc, char **argv) {
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
