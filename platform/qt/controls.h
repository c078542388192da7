// Thin wrappers that give the plot window's Qt widgets the platform
// interfaces: the range bar and the view-window indicator, the command-button
// array, the read-out boxes and the frame.
#pragma once

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "platform/qt/units.h"

#include "platform/form.h"
#include "platform/platform.h"

namespace vorsel::platform::qt {

// Paints a button's face in a colour of the window (up or down look).
void set_face(QWidget* w, Colour c);

// The base font, narrowed and then made smaller (not below 6 points at the
// design size, 6 points times the zoom unless only a smaller one fits) until
// the text fits into the width: the controls
// keep their design-time sizes in twips, and the captions must stay readable
// in them with this platform's fonts, which run wider than the ones the design
// was made with.
// The zoom is that of the control's window (units.h, zoom_of); without it,
// that of the plot window on the screen.
QFont fitted_font(const QFont& base, const QString& text, int width_px, Zoom zoom);
QFont fitted_font(const QFont& base, const QString& text, int width_px);

// A command button whose caption is fitted into the button's face: the
// caption (text()) stays as the program set it, leading and trailing blanks
// included; only what is painted is fitted.
class PanelButton : public QPushButton {
public:
    using QPushButton::QPushButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    // Enter on a focused button presses it, as Space does.
    void keyPressEvent(QKeyEvent* event) override;
};

// A bar (cmdRange, cmdWindow): keeps its place in twips, so that what the
// program reads back is what it set, whatever the pixel rounding.
class QtBar : public platform::Bar {
public:
    QtBar(QPushButton* widget, const Rect& twips);
    double left() const override { return place_.left; }
    double width() const override { return place_.width; }
    void set_left(double twips) override;
    void set_width(double twips) override;
    void set_visible(bool visible) override;
    QPushButton* widget() const { return widget_; }
    // Puts the bar at its place in twips, at the current zoom.
    void apply();

private:
    QPushButton* widget_;
    Rect place_;
};

class QtButtons : public platform::Buttons {
public:
    void add(int index, QPushButton* b) { buttons_[index] = b; }
    QPushButton* at(int index) const;
    void set_caption(int index, const std::string& caption) override;
    void set_tooltip(int index, const std::string& tip) override;
    void set_face_colour(int index, Colour c) override;
    void set_enabled(int index, bool enabled) override;
    void set_visible(int index, bool visible) override;
    bool enabled(int index) const override;
    bool visible(int index) const override;
    const std::map<int, QPushButton*>& all() const { return buttons_; }

    // The key that stands for a button, named after its tool tip in
    // brackets, whatever tool tip the program sets.
    void set_key_hint(int index, const std::string& key);

private:
    QPushButton* must(int index) const;
    void show_tooltip(int index);
    std::map<int, QPushButton*> buttons_;
    std::map<int, std::string> tooltips_, key_hints_;
};

class QtReadOuts : public platform::ReadOuts {
public:
    // The box with its face, which a text too long for it is fitted from.
    void add(ReadOut box, QLineEdit* e);
    QLineEdit* at(ReadOut box) const;
    void set_text(ReadOut box, const std::string& text) override;
    // Another face for every box (the zoom changed); each text is fitted
    // into its box again.
    void set_face(const QFont& f);

private:
    // The space a line edit keeps between its frame and its text, per side.
    static constexpr int kLineEditMargin = 2;
    std::map<ReadOut, QLineEdit*> boxes_;
    std::map<ReadOut, QFont> fonts_;
};

class QtFrame : public platform::Frame {
public:
    explicit QtFrame(QGroupBox* box) : box_(box) {}
    // The caption's font only: the controls inside keep the window's font.
    void set_caption_font(float size_points, bool bold) override;
    void set_caption(const std::string& caption) override;
    QGroupBox* widget() const { return box_; }
    // The caption's font again, at the current zoom.
    void apply_zoom();

private:
    void apply_caption_font();
    QGroupBox* box_;
    bool caption_font_set_ = false;
    float caption_points_ = 0;
    bool caption_bold_ = false;
};

}  // namespace vorsel::platform::qt
