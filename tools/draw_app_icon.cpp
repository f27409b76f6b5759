// mw_draw_app_icon SIZE OUT.png: the window icon as the program draws it, at
// one of its sizes, so that the installed icons can be held against it.
#include <QGuiApplication>
#include <QPixmap>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ui/qt/qt_icons.h"

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: mw_draw_app_icon SIZE OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[1]);
    if (size < 1 || size > 1024) {
        std::fprintf(stderr, "mw_draw_app_icon: size %s is not 1 to 1024\n", argv[1]);
        return 2;
    }
    // Drawing needs no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QPixmap pixmap = ui::qt::AppIcon().pixmap(size, size);
    if (pixmap.width() != size || !pixmap.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "mw_draw_app_icon: could not write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
