// Qt's own texts (file dialog, message box buttons) in Russian, whatever the
// locale the program was started under: every other text of the programs is
// Russian, and an operator should not meet "Folder" or "Cancel" among them.
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <cstring>

namespace tk::detail {
namespace {

// Texts that Qt 6 asks for under a context the translations shipped with
// Debian 12 do not have yet (they still file them under the Qt 5 names).
class MissingQtTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override {
        if (!context || !sourceText || std::strcmp(context, "QAbstractFileIconProvider") != 0) return {};
        static const struct {
            const char* source;
            const char* russian;
        } texts[] = {{"Folder", "Папка"}, {"File", "Файл"}, {"Drive", "Диск"}, {"Computer", "Компьютер"}};
        for (const auto& t : texts)
            if (std::strcmp(sourceText, t.source) == 0) return QString::fromUtf8(t.russian);
        return {};
    }
};

// Where Qt's translation files are: Qt's own idea first, then Debian's place.
QString translationsFolder() {
    const QString configured = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (QFile::exists(configured + "/qtbase_ru.qm")) return configured;
    return QStringLiteral("/usr/share/qt6/translations");
}

}  // namespace

void installRussianTranslations(QApplication& app) {
    // Names of months, file types and sizes follow the default locale; the
    // toolkit formats its numbers itself, so this changes no number shown.
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));

    app.installTranslator(new MissingQtTexts(&app));
    auto* qtbase = new QTranslator(&app);
    const QString folder = translationsFolder();
    if (qtbase->load(QLocale(QLocale::Russian), "qtbase", "_", folder)) {
        app.installTranslator(qtbase);
    } else {
        std::fprintf(stderr,
                     "paneltk: Qt's Russian translations (qtbase_ru.qm) are not in %s; "
                     "standard dialogs stay in English (install qt6-translations-l10n)\n",
                     folder.toLocal8Bit().constData());
    }
}

}  // namespace tk::detail
