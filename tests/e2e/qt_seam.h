// What the end-to-end tests reach inside the Qt platform that the program
// itself never needs: the board's pixels at a twip, lines painted one by one
// to check the batches against, a file clicked by name in the chooser, and the
// chooser's controls by their names.
#pragma once

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "platform/qt/board.h"
#include "platform/qt/chooser_dialog.h"
#include "platform/qt/services.h"

namespace vorsel::platform::qt {

struct TestSeam {
    // The next long work (a file read on the worker) is held at its start
    // while `act` runs in the event loop that waits for it.
    static void while_work_held(QtProgram& p, std::function<void()> act) {
        p.while_work_held_ = std::move(act);
    }
    // The colour the board shows at the point (x, y) in twips.
    static QColor colour_at(const QtBoard& b, int x_twips, int y_twips) {
        const QImage& image = b.image();
        const QPoint p = b.image_pixel(x_twips, y_twips);
        if (!image.rect().contains(p)) return QColor();
        return image.pixelColor(p);
    }
    // Every later line painted on its own as it comes.
    static void paint_lines_one_by_one(QtBoard& b) {
        b.flush_lines();
        b.batched_ = false;
    }
    // The selection moves to the file as under the mouse (one event), then the
    // click is raised. False when the list holds no such file.
    static bool click_file(ChooserDialog& d, const QString& name) {
        const auto found = d.files_->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) return false;
        d.filling_ = true;
        d.files_->setCurrentItem(found.front());
        d.filling_ = false;
        emit d.files_->itemClicked(found.front());
        return true;
    }
};

}  // namespace vorsel::platform::qt

namespace vorsel::e2e {

inline QPushButton* ok_button(QWidget& d) { return d.findChild<QPushButton*>("cmdOK"); }
inline QPushButton* abort_button(QWidget& d) { return d.findChild<QPushButton*>("cmdAbort"); }
inline QListWidget* file_list(QWidget& d) { return d.findChild<QListWidget*>("flbFile"); }
inline QListWidget* directory_list(QWidget& d) {
    return d.findChild<QListWidget*>("dirDirectory");
}
inline QString location_text(QWidget& d) { return d.findChild<QLineEdit*>("txtLocation")->text(); }
inline QString code_text(QWidget& d) { return d.findChild<QLineEdit*>("txtTemplate")->text(); }
inline bool click_file(platform::qt::ChooserDialog& d, const QString& name) {
    return platform::qt::TestSeam::click_file(d, name);
}
inline void while_work_held(platform::qt::QtProgram& p, std::function<void()> act) {
    platform::qt::TestSeam::while_work_held(p, std::move(act));
}
inline QColor colour_at(const platform::qt::QtBoard& b, int x, int y) {
    return platform::qt::TestSeam::colour_at(b, x, y);
}

}  // namespace vorsel::e2e
