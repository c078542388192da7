#include "platform/qt/analysis_windows.h"

#include <QCloseEvent>

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

namespace vorsel::platform::qt {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QTableWidget* make_table(QWidget* parent, const char* name) {
    auto* t = new QTableWidget(parent);
    t->setObjectName(name);
    t->setEditTriggers(QAbstractItemView::NoEditTriggers);
    t->setSelectionBehavior(QAbstractItemView::SelectRows);
    t->setSelectionMode(QAbstractItemView::SingleSelection);
    t->verticalHeader()->setVisible(false);
    t->verticalHeader()->setDefaultSectionSize(t->fontMetrics().height() + 6);
    t->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return t;
}

void fill(QTableWidget* t, QLabel* title, const TextGrid& g) {
    title->setText(q(g.title));
    t->clear();
    t->setColumnCount(static_cast<int>(g.columns.size()));
    t->setRowCount(static_cast<int>(g.rows.size()));
    QStringList heads;
    for (const std::string& c : g.columns) heads << q(c);
    t->setHorizontalHeaderLabels(heads);
    for (std::size_t r = 0; r < g.rows.size(); ++r)
        for (std::size_t c = 0; c < g.rows[r].size() && c < g.columns.size(); ++c) {
            auto* item = new QTableWidgetItem(q(g.rows[r][c]));
            item->setTextAlignment((c == 0 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (r < g.bold.size() && g.bold[r]) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            t->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
}

}  // namespace

StatisticsWindow::StatisticsWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmStatistics");
    setWindowTitle(QStringLiteral("Statistics"));
    auto* box = new QVBoxLayout(this);
    const auto label = [&](const char* name) {
        auto* l = new QLabel(this);
        l->setObjectName(name);
        l->setWordWrap(true);
        box->addWidget(l);
        return l;
    };
    agreement_title_ = label("lblAgreement");
    agreement_ = make_table(this, "tblAgreement");
    agreement_->setMaximumHeight(110);
    box->addWidget(agreement_);
    notes_ = label("lblNotes");
    bins_title_ = label("lblBins");
    bins_ = make_table(this, "tblBins");
    box->addWidget(bins_, 1);
    worst_title_ = label("lblWorst");
    worst_ = make_table(this, "tblWorst");
    box->addWidget(worst_, 1);
    line_ = label("lblTrend");
    line_->setFrameShape(QFrame::StyledPanel);
    connect(worst_, &QTableWidget::cellClicked, this, [this](int row, int) {
        if (on_worst_clicked) on_worst_clicked(row);
    });
    resize(720, 760);
}

void StatisticsWindow::set_agreement(const TextGrid& grid, const std::string& notes) {
    fill(agreement_, agreement_title_, grid);
    notes_->setText(q(notes));
}
void StatisticsWindow::set_bins(const TextGrid& grid) { fill(bins_, bins_title_, grid); }
void StatisticsWindow::set_worst(const TextGrid& grid) { fill(worst_, worst_title_, grid); }
void StatisticsWindow::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (on_closed) on_closed();
}

void StatisticsWindow::set_line(const std::string& text) { line_->setText(q(text)); }

class NormalPlotWindow::Canvas : public QWidget {
public:
    explicit Canvas(QWidget* parent) : QWidget(parent) { setMinimumSize(300, 300); }
    std::vector<double> expected, observed;
    double slope = NAN, intercept = NAN;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        const QRectF box = QRectF(rect()).adjusted(40, 10, -10, -30);
        p.setPen(Qt::black);
        p.drawRect(box);
        if (observed.size() < 2) return;
        // Each axis over its own range: a few wild reflections would
        // otherwise squeeze the expected values into a sliver.
        const double xlim =
            std::max({std::fabs(expected.front()), std::fabs(expected.back()), 1.0});
        const double ylim =
            std::max({std::fabs(observed.front()), std::fabs(observed.back()), xlim});
        const auto at = [&](double ex, double ob) {
            return QPointF(box.left() + (ex + xlim) / (2 * xlim) * box.width(),
                           box.bottom() - (ob + ylim) / (2 * ylim) * box.height());
        };
        p.setClipRect(box);
        p.setPen(QPen(Qt::gray, 1, Qt::DashLine));
        p.drawLine(at(-xlim, -xlim), at(xlim, xlim));
        p.drawLine(at(-xlim, 0), at(xlim, 0));
        p.drawLine(at(0, -ylim), at(0, ylim));
        p.setPen(QPen(Qt::blue, 3));
        // One dot per pixel: a million points fall on a few thousand.
        QPoint last(-1, -1);
        for (std::size_t i = 0; i < observed.size(); ++i) {
            const QPoint d = at(expected[i], observed[i]).toPoint();
            if (d == last) continue;
            p.drawPoint(d);
            last = d;
        }
        p.setPen(QPen(Qt::red, 1.5));
        p.drawLine(at(-xlim, intercept - slope * xlim), at(xlim, intercept + slope * xlim));
        p.setClipping(false);
        p.setPen(Qt::black);
        p.drawText(
            QRectF(box.left(), box.bottom(), box.width(), 28), Qt::AlignCenter,
            QStringLiteral("expected normal order statistic, -%1 to %1").arg(xlim, 0, 'g', 3));
        p.save();
        p.translate(box.left() - 8, box.center().y());
        p.rotate(-90);
        p.drawText(QRectF(-box.height() / 2, -28, box.height(), 24), Qt::AlignCenter,
                   QStringLiteral("dF/s(Fo), -%1 to %1").arg(ylim, 0, 'g', 3));
        p.restore();
    }
};

NormalPlotWindow::NormalPlotWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("frmNormalPlot");
    setWindowTitle(QStringLiteral("Normal Probability Plot"));
    auto* box = new QVBoxLayout(this);
    canvas_ = new Canvas(this);
    canvas_->setObjectName("normalCanvas");
    box->addWidget(canvas_, 1);
    caption_ = new QLabel(this);
    caption_->setObjectName("lblNormal");
    caption_->setWordWrap(true);
    box->addWidget(caption_);
    resize(520, 560);
}

void NormalPlotWindow::set_points(std::vector<double> expected, std::vector<double> observed,
                                  double slope, double intercept, const std::string& caption) {
    canvas_->expected = std::move(expected);
    canvas_->observed = std::move(observed);
    canvas_->slope = slope;
    canvas_->intercept = intercept;
    caption_->setText(q(caption));
    canvas_->update();
}

}  // namespace vorsel::platform::qt
