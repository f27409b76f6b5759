#include "ui/qt/qt_dialog_font.h"

#include <QApplication>
#include <QFontDatabase>

namespace ui::qt {

QFont DialogFont() {
    QFont font = QApplication::font();
    // Families with the proportions of the dialog units (6 × 13 pixels per
    // average character); wider ones clip the shorter labels.
    static const char* const kFamilies[] = {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial",
                                            "Liberation Sans", "Nimbus Sans", "Helvetica", "DejaVu Sans Condensed"};
    const QStringList installed = QFontDatabase::families();
    for (const char* family : kFamilies) {
        if (installed.contains(QString::fromLatin1(family), Qt::CaseInsensitive)) {
            font.setFamily(QString::fromLatin1(family));
            break;
        }
    }
    font.setPixelSize(11);
    return font;
}

}  // namespace ui::qt
