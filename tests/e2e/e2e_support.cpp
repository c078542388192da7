#include "e2e_support.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QSettings>
#include <cmath>
#include <cstdio>

#include "platform/qt/units.h"

namespace vorsel::e2e {

std::string generated_data(int n) {
    std::string out = "    13\r\n";
    char line[256];
    for (int k = 1; k <= n; ++k) {
        const double fo = 20.0 + (k * 37) % 500;
        const double s = k % 10 == 0 ? fo / 1.5 : fo / 10.0;
        const double fc = fo - 0.5 * std::sin(k) * s;
        const double theta = 5.0 + 0.05 * ((389 * k) % 1000);
        std::snprintf(line, sizeof line,
                      "%10.1f%10.3f%10.3f%10.4f%10.2f%10.4f%10.3f%10.3f%10.3f%10.5f%10.5f%10.5f%10.7f\r\n",
                      static_cast<double>(k), fo, fc, s, 5.0, theta, (k * 7) % 360 * 1.0,
                      (k * 11) % 360 - 180.0, (k * 13) % 180 - 90.0, 0.001 * (k % 7),
                      1.0 + 0.001 * (k % 50), 1.0 - 0.00001 * k, 0.0001 + 0.000001 * (k % 9));
        out += line;
    }
    return out;
}

double selected_theta(int i) {
    const int r = i + (i - 1) / 9;  // the i-th whole number not divisible by ten
    return 5.0 + 0.05 * r;
}

std::string seven(const std::string& usual) {
    return usual.size() >= 7 ? usual : std::string(7 - usual.size(), ' ') + usual;
}

std::string setting(const char* key) {
    QSettings s(QSettings::IniFormat, QSettings::UserScope, "DADO_QEM", "DADO_QEM");
    s.beginGroup("VORSEL");
    const QVariant v = s.value(key, "<missing>");
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray().toStdString()
                                              : v.toString().toStdString();
}

QColor icross() { return platform::qt::to_qcolor(0x8000000F); }

void ProgramTest::SetUp() {
    ASSERT_TRUE(settings_dir_.isValid());
    ASSERT_TRUE(data_dir_.isValid());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_dir_.path());

    // Every message box is answered with its default button and recorded.
    message_sentry_.setInterval(20);
    QObject::connect(&message_sentry_, &QTimer::timeout, [this] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        messages_.push_back({box->windowTitle().toStdString(), box->text().toStdString()});
        QAbstractButton* b = box->button(QMessageBox::Ok);
        if (!b) b = box->button(QMessageBox::Cancel);
        if (b) b->click();
    });
    message_sentry_.start();

    // Inside a chooser: the next queued script; with none left, Abort, so
    // that a test can never hang in the dialog.
    chooser_sentry_.setInterval(20);
    QObject::connect(&chooser_sentry_, &QTimer::timeout, [this] {
        auto* d = dynamic_cast<ChooserDialog*>(QApplication::activeModalWidget());
        if (!d || !d->isVisible()) return;
        if (chooser_scripts_.empty()) {
            ++unexpected_choosers_;
            abort_button(*d)->click();
            if (d->isVisible()) d->reject();
            return;
        }
        auto script = std::move(chooser_scripts_.front());
        chooser_scripts_.pop_front();
        script(*d);
    });
    chooser_sentry_.start();
}

void ProgramTest::TearDown() {
    program_.reset();
    message_sentry_.stop();
    chooser_sentry_.stop();
}

std::string ProgramTest::write_file(const std::string& name, const std::string& content) {
    const QString path = data_dir_.filePath(QString::fromStdString(name));
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(content.data(), static_cast<qint64>(content.size()));
    return path.toStdString();
}

app::VorselProgram& ProgramTest::start_program(const std::string& file) {
    program_ = std::make_unique<app::VorselProgram>();
    if (before_start_) before_start_(*program_);
    program_->start(file);
    return *program_;
}

app::VorselProgram& ProgramTest::start_program_with_library(std::vector<std::string> library_folders) {
    program_ = std::make_unique<app::VorselProgram>(std::move(library_folders));
    program_->start();
    return *program_;
}

void ProgramTest::in_chooser(std::function<void(ChooserDialog&)> script) {
    chooser_scripts_.push_back(std::move(script));
}

void ProgramTest::choose(const std::string& path) {
    in_chooser([path](ChooserDialog& d) {
        const QFileInfo f(QString::fromStdString(path));
        d.open_directory(f.absolutePath());
        EXPECT_TRUE(click_file(d, f.fileName())) << "not in the file list: " << path;
        EXPECT_TRUE(ok_button(d)->isEnabled()) << "OK stays disabled after a file click";
        ok_button(d)->click();
    });
}

void ProgramTest::abort_chooser() {
    in_chooser([](ChooserDialog& d) { abort_button(d)->click(); });
}

std::string ProgramTest::readout(platform::ReadOut r) {
    return program_->window().readout(r)->text().toStdString();
}

void ProgramTest::click(int index) {
    QPushButton* b = program_->window().button(index);
    ASSERT_NE(b, nullptr) << "no button " << index;
    ASSERT_TRUE(b->isEnabled()) << "button " << index << " is disabled";
    b->click();
}

std::string ProgramTest::caption(int index) {
    return program_->window().button(index)->text().toStdString();
}

QColor ProgramTest::at(int x, int y) { return colour_at(program_->window().board(), x, y); }

int ProgramTest::count(int x1, int y1, int x2, int y2, QColor c) {
    const QImage& img = program_->window().board().image();
    const QPoint a = platform::qt::QtBoard::pixel_of(x1, y1);
    const QPoint b = platform::qt::QtBoard::pixel_of(x2, y2);
    int n = 0;
    for (int y = a.y(); y <= b.y(); ++y)
        for (int x = a.x(); x <= b.x(); ++x)
            if (img.valid(x, y) && img.pixelColor(x, y) == c) ++n;
    return n;
}

double ProgramTest::share(int x1, int y1, int x2, int y2, QColor c) {
    const QPoint a = platform::qt::QtBoard::pixel_of(x1, y1);
    const QPoint b = platform::qt::QtBoard::pixel_of(x2, y2);
    const int all = (b.x() - a.x() + 1) * (b.y() - a.y() + 1);
    return all > 0 ? static_cast<double>(count(x1, y1, x2, y2, c)) / all : 0.0;
}

int ProgramTest::leftmost(QColor c) {
    const QImage& img = program_->window().board().image();
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (img.pixelColor(x, y) == c)
                return static_cast<int>(std::ceil(x / platform::qt::pixels_per_twip()));
    return -1;
}

}  // namespace vorsel::e2e
