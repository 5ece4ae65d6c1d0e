// The KAZ window program: "kaz" or "kaz -open FOLDER".
#include "shell/ui/AppIcon.h"
#include "shell/ui/PlaceholderPage.h"
#include "shell/ui/TForm1.h"

#include "platform/Registry.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

using namespace kaz;

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kaz"));
    QApplication::setApplicationDisplayName(QStringLiteral("KAZ Quillbay"));
    QApplication::setWindowIcon(appIcon());
    QApplication::setDesktopFileName(QStringLiteral("kaz"));
    // The window is laid out for a compact font; larger desktop defaults
    // would clip the captions of page "0" at the minimum size.
    QFont font = QApplication::font();
    if (font.pointSizeF() > 9)
        font.setPointSizeF(9);
    QApplication::setFont(font);

    MainWindowOptions options;
    options.language = storedLanguage();
    const QStringList arguments = app.arguments().mid(1);
    if (!arguments.isEmpty()) {
        const QFileInfo target(arguments.last());
        if (target.isDir()) {
            options.startFolder = target.absoluteFilePath();
        } else if (target.exists()) {
            options.startFolder = target.absolutePath();
            options.selectName = target.fileName();
        }
    }

    TForm1 window(options);
    window.addPage(new PlaceholderPage(QStringLiteral("page0"), "ID3Tag -> filename", "ID3Tag -> Dateiname", 4));
    window.addPage(new PlaceholderPage(QStringLiteral("page1"), "Cleanup filenames", "Dateinamen bereinigen", 7));
    window.addPage(new PlaceholderPage(QStringLiteral("page2"), "Filename -> ID3Tag", "Dateiname -> ID3Tag", 2));
    window.show();
    return app.exec();
}
