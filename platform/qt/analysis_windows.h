// The windows of the Analysis menu: the statistics (agreement, the binned
// table of the current x quantity, the worst reflections, the trend test in
// the line at the bottom) and the normal probability plot. Both are
// non-modal and show what they are handed; the program works the figures out.
#pragma once

#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

namespace vorsel::platform::qt {

// A table of text: a title over it, the column heads, the rows (bold ones
// stand out).
struct TextGrid {
    std::string title;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
    std::vector<bool> bold;
};

class StatisticsWindow : public QWidget {
public:
    explicit StatisticsWindow(QWidget* parent = nullptr);
    void set_agreement(const TextGrid& grid, const std::string& notes);
    void set_bins(const TextGrid& grid);
    void set_worst(const TextGrid& grid);
    // The line at the bottom: the trend test of the current x quantity.
    void set_line(const std::string& text);
    QTableWidget* bins_table() const { return bins_; }
    QTableWidget* worst_table() const { return worst_; }
    QLabel* line() const { return line_; }

    // A click on row `row` (0-based) of the worst reflections.
    std::function<void(int row)> on_worst_clicked;
    // The window was closed.
    std::function<void()> on_closed;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QLabel *agreement_title_, *notes_, *bins_title_, *worst_title_, *line_;
    QTableWidget *agreement_, *bins_, *worst_;
};

class NormalPlotWindow : public QWidget {
public:
    explicit NormalPlotWindow(QWidget* parent = nullptr);
    // observed ascending, expected the normal order statistics beside them.
    void set_points(std::vector<double> expected, std::vector<double> observed, double slope,
                    double intercept, const std::string& caption);
    QLabel* caption() const { return caption_; }

private:
    class Canvas;
    Canvas* canvas_;
    QLabel* caption_;
};

}  // namespace vorsel::platform::qt
