// The curve out of the real window: a data file named at start-up, the File
// menu's "Save Picture..." (PNG pixel for pixel the board, SVG and PDF drawn
// back and compared with it) and "Export Curve Data...", their failures, the
// board's recording, and a run without a window that shows none.
#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QPainter>
#include <QProcess>
#include <QSvgRenderer>

#include "app/headless.h"
#include "e2e_support.h"
#include "platform/qt/picture.h"
#include "platform/qt/units.h"

namespace vorsel::e2e {
namespace {

namespace but = vorsel::plot::but;
using platform::ReadOut;

// Ink of the curve, also where a line's edge blends it with the background or
// the overlay: the only colour of the board with green in it and little blue.
bool yellowish(QColor c) { return c.green() > 100 && c.blue() < 160; }
bool reddish(QColor c) { return c.red() > 180 && c.green() < 100 && c.blue() < 100; }

// Share of the board's pixels in the colour near which a picture drawn at
// `scale` times the board's size, `strip` pixels from its top, shows it too.
double found_near(const QImage& board, const QImage& picture, int scale, int strip, QColor colour,
                  bool (*like)(QColor)) {
    int all = 0, found = 0;
    for (int y = 0; y < board.height(); ++y)
        for (int x = 0; x < board.width(); ++x) {
            if (board.pixelColor(x, y) != colour) continue;
            ++all;
            bool hit = false;
            for (int py = (y - 1) * scale; py < (y + 2) * scale && !hit; ++py)
                for (int px = (x - 1) * scale; px < (x + 2) * scale && !hit; ++px)
                    hit = picture.valid(px, py + strip) && like(picture.pixelColor(px, py + strip));
            found += hit;
        }
    return all > 0 ? static_cast<double>(found) / all : 0.0;
}

class ExportTest : public ProgramTest {
protected:
    // The window started on a named file, with dF / s(Fo) against theta,
    // smoothed; the file dialog's place is taken by an answer of `answer`.
    void start_with_curve(int points) {
        start_program(write_file("gen.vorsel", generated_data(points)));
        ASSERT_FALSE(program().ended());
        file_dialog = program().ask_file_name;
        program().ask_file_name = [this](const app::VorselProgram::SaveQuestion& q) {
            questions.push_back(q);
            return out(answer);
        };
        click(but::VsTheta);
        click(but::dF_sFo);
        click(but::Smooth);
    }
    std::string out(const std::string& name) {
        return data_dir_.filePath(name.c_str()).toStdString();
    }
    const QImage& board() { return program().window().board().image(); }

    std::string answer;
    std::vector<app::VorselProgram::SaveQuestion> questions;
    std::function<std::string(const app::VorselProgram::SaveQuestion&)> file_dialog;
};

TEST_F(ExportTest, NamedFileSkipsTheChooserAndMenuFollowsTheBoard) {
    const std::string path = write_file("named.vorsel", generated_data(50));
    app::VorselProgram& p = start_program(path);
    EXPECT_EQ(unexpected_choosers_, 0);
    EXPECT_FALSE(p.window().save_picture_action()->isEnabled());
    click(but::VsTheta);
    EXPECT_FALSE(p.window().export_curve_action()->isEnabled());
    click(but::dF_sFo);
    EXPECT_TRUE(p.window().save_picture_action()->isEnabled());
    EXPECT_TRUE(p.window().export_curve_action()->isEnabled());
    EXPECT_EQ(p.window().save_picture_action()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
}

// The curve alone, then with the overlay over it (whose edges fall half a
// pixel apart from the screen's, covering the curve's pixels beside it).
TEST_F(ExportTest, PicturesShowTheBoard) {
    start_with_curve(1000);
    click(but::Smooth);
    for (QColor colour : {kYellow, kRed}) {
        SCOPED_TRACE(colour == kYellow ? "curve" : "overlay");
        if (colour == kRed) click(but::Smooth);
        const QImage png_board = board();
        for (const char* name : {"p.png", "p.svg", "p.pdf"}) {
            answer = name;
            program().window().save_picture_action()->trigger();
        }
        EXPECT_TRUE(messages_.empty());
        const QImage png(out("p.png").c_str());
        ASSERT_EQ(png.width(), png_board.width());
        const int strip = static_cast<int>(std::lround(platform::qt::kTitleTwips / 15.0));
        const int note = static_cast<int>(std::lround(platform::qt::kNoteTwips / 15.0));
        ASSERT_EQ(png.height(), strip + png_board.height() + note);
        EXPECT_EQ(
            png.copy(0, strip, png.width(), png_board.height()).convertToFormat(png_board.format()),
            png_board);

        // Twice the size of its view box (its size in millimetres may be read
        // at another resolution).
        QSvgRenderer svg(QString::fromStdString(out("p.svg")));
        ASSERT_TRUE(svg.isValid());
        QImage svg_image(svg.viewBoxF().size().toSize() * 2, QImage::Format_RGB32);
        QPainter painter(&svg_image);
        svg.render(&painter);
        painter.end();
        QProcess pdftoppm;
        pdftoppm.start("pdftoppm", {"-r", "192", "-png", "-singlefile", out("p.pdf").c_str(),
                                    out("pdf").c_str()});
        ASSERT_TRUE(pdftoppm.waitForFinished(30000)) << "pdftoppm (poppler-utils) is needed";
        ASSERT_EQ(pdftoppm.exitCode(), 0);
        QImage pdf_image(out("pdf.png").c_str());
        // The note on x names the ends of the view as the read-outs do.
        const auto shown = [this](ReadOut r) { return QString::fromStdString(readout(r)).trimmed(); };
        const QString x_note = "x: theta, " + shown(ReadOut::FirstValue) + " at point " +
                               shown(ReadOut::FirstPoint) + " to " + shown(ReadOut::LastValue) +
                               " at point " + shown(ReadOut::LastPoint) + " of " +
                               shown(ReadOut::UsedPoints) + "; points equally spaced in order of theta";
        QFile svg_file(out("p.svg").c_str());
        EXPECT_TRUE(svg_file.open(QIODevice::ReadOnly) && svg_file.readAll().contains(x_note.toUtf8()));
        QProcess pdftotext;
        pdftotext.start("pdftotext", {"-raw", out("p.pdf").c_str(), "-"});
        EXPECT_TRUE(pdftotext.waitForFinished(30000) &&
                    pdftotext.readAllStandardOutput().simplified().contains(x_note.toUtf8()));

        for (const QImage* picture : {&svg_image, &pdf_image}) {
            SCOPED_TRACE(picture == &svg_image ? "SVG" : "PDF");
            EXPECT_NEAR(picture->width(), 2 * png.width(), 2);
            EXPECT_NEAR(picture->height(), 2 * png.height(), 2);
            EXPECT_GT(found_near(png_board, *picture, 2, 2 * strip, colour,
                                 colour == kYellow ? yellowish : reddish),
                      0.97);
        }
    }
    EXPECT_EQ(QFileInfo(questions.at(0).suggestion.c_str()).fileName(), "gen-dFsFo-vs-theta.png");
}

TEST_F(ExportTest, CurveDataAndFailuresThatLeaveNothingBehind) {
    start_with_curve(300);
    answer = "c.csv";
    program().window().export_curve_action()->trigger();
    QFile csv(out("c.csv").c_str());
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_EQ(csv.readAll().count('\n'), 8 + program().form().npcur);

    // The file dialog itself: a name without an extension takes the filter's.
    const auto answering = program().ask_file_name;
    program().ask_file_name = file_dialog;
    QTimer user;
    user.setInterval(20);
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            d->findChild<QLineEdit*>("fileNameEdit")->setText("d");  // typed by the user
            static_cast<QDialog*>(d)->accept();                      // as the Save button does
        }
    });
    user.start();
    program().window().export_curve_action()->trigger();
    user.stop();
    program().ask_file_name = answering;
    EXPECT_TRUE(QFileInfo::exists(out("d.csv").c_str()));

    // A folder, a name in a folder that does not exist, a link to the data file.
    QDir(data_dir_.path()).mkdir("taken.png");
    QFile::link(out("gen.vorsel").c_str(), out("data.png").c_str());
    const QStringList before = QDir(data_dir_.path()).entryList(QDir::Files | QDir::Dirs);
    for (const char* name : {"taken.png", "none/p.svg", "data.png"}) {
        SCOPED_TRACE(name);
        messages_.clear();
        answer = name;
        program().window().save_picture_action()->trigger();
        ASSERT_EQ(messages_.size(), 1u);
        EXPECT_EQ(messages_[0].title, "Error saving picture!");
        EXPECT_NE(messages_[0].text.find("could not be saved to " + out(name)), std::string::npos);
        EXPECT_EQ(QDir(data_dir_.path()).entryList(QDir::Files | QDir::Dirs), before);
    }
}

// Drawn again at the screen's scale, the recording gives the board's picture
// (a line may fall into the next pixel), also with its lines reduced to a
// finer detail than a pixel, and a curve of any length stays within a few
// points per twip column.
TEST_F(ExportTest, RecordingRedrawsTheBoard) {
    start_with_curve(20000);
    click(but::Fit);
    const platform::qt::BoardRecording& rec = program().window().board().recording();
    EXPECT_LT(rec.line_points(), 2u * 4u * 10000u);
    EXPECT_GT(program().form().npcur, 15000);

    // In full detail, and with the lines of each third of a pixel reduced.
    for (double detail : {0.0, 5.0}) {
        SCOPED_TRACE(detail);
        QImage again(board().size(), board().format());
        QPainter painter(&again);
        rec.render(painter, platform::qt::pixels_per_twip(), detail);
        painter.end();
        // The overlay, half a pixel off, may cover a pixel of the curve beside it.
        EXPECT_GT(found_near(board(), again, 1, 0, kYellow, yellowish), 0.97);
        EXPECT_GT(found_near(board(), again, 1, 0, kRed, reddish), 0.99);
        EXPECT_GT(found_near(board(), again, 1, 0, kBlue, [](QColor c) { return c == kBlue; }),
                  0.99);
    }
}

// The suggested names keep the compound code as written, bar what a file
// name should not hold.
TEST_F(ExportTest, SuggestedNamesKeepTheCode) {
    for (std::string code : {"imp_sucrose", "P-1.a2", "x y+z"}) {
        start_program(write_file(code + ".vorsel", generated_data(50)));
        program().ask_file_name = [this](const app::VorselProgram::SaveQuestion& q) {
            questions.push_back(q);
            return std::string();
        };
        click(but::VsTheta);
        click(but::dF_sFo);
        program().window().save_picture_action()->trigger();
        std::erase_if(code, [](char c) { return c == ' ' || c == '+'; });
        EXPECT_EQ(QFileInfo(questions.back().suggestion.c_str()).fileName().toStdString(),
                  code + "-dFsFo-vs-theta.png");
        stop_program();
    }
}

// Shows of top-level widgets, as an application-wide event filter sees them.
struct ShowWatch : QObject {
    int shown = 0;
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Show && o->isWidgetType() && static_cast<QWidget*>(o)->isWindow())
            ++shown;
        return false;
    }
};

TEST_F(ExportTest, HeadlessRunShowsNoWindow) {
    app::CommandLine cl =
        app::parse_command_line({"--x", "theta", "--y", "Fo/Fc", "--output", out("h.png"),
                                 write_file("h.vorsel", generated_data(200))});
    ASSERT_EQ(cl.error, "");
    ShowWatch watch;
    qApp->installEventFilter(&watch);
    EXPECT_EQ(app::run_headless(cl), app::Exit::ok);
    qApp->removeEventFilter(&watch);
    EXPECT_EQ(watch.shown, 0);
    EXPECT_TRUE(QFileInfo::exists(out("h.png").c_str()));
}

}  // namespace
}  // namespace vorsel::e2e
