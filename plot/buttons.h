// The command-button array cmdBut by name. The values are the buttons' Index
// numbers, which the panel's layout, its click handler and the stored look of
// every button (ibstate) all share. Where two or three buttons share a row of
// the right-hand column, the leftmost has Index n and the others 10 n + 2 and
// 10 n + 3, from left to right.
#pragma once

#include <array>

namespace vorsel::plot::but {

// y quantities, upper row (and the two averaged ones at the end of the lower row).
inline constexpr int Fo = 1;
inline constexpr int Fc = 2;
inline constexpr int dF_Fo = 3;    // "dF / Fo"
inline constexpr int dF_sFo = 4;   // "dF / s(Fo)"
inline constexpr int Fo_Fc = 5;    // "Fo / Fc"
inline constexpr int Fo_sFo = 6;   // "Fo / s(Fo)"
inline constexpr int Abscor = 7;
inline constexpr int Drift = 8;
inline constexpr int Weight = 9;
inline constexpr int BckgrRat = 10;
inline constexpr int dF_meanFo = 11;   // "dF / <Fo>", never enabled
inline constexpr int dF_meansFo = 12;  // "dF/<s(Fo)>", never enabled
inline constexpr int meandF_Fo = 23;   // "<dF> / Fo", never enabled
inline constexpr int meandF_sFo = 24;  // "<dF>/s(Fo)", never enabled

// x quantities, lower row.
inline constexpr int VsFo = 13;
inline constexpr int VsFc = 14;
inline constexpr int VsTheta = 15;
inline constexpr int VsPhi = 16;
inline constexpr int VsOmega = 17;
inline constexpr int VsKappa = 18;
inline constexpr int VsAbscor = 19;
inline constexpr int VsDrift = 20;
inline constexpr int VsWeight = 21;
inline constexpr int VsXRtime = 22;

// The view window: a third, a half or a whole window to the right or left,
// or to either end of the curve.
inline constexpr int RightThird = 25;   // ">"
inline constexpr int RightHalf = 252;   // ">>"
inline constexpr int RightWhole = 253;  // ">>  >"
inline constexpr int ToFirst = 26;      // "||<--"
inline constexpr int ToLast = 262;      // "--> ||"
inline constexpr int LeftThird = 27;    // "<"
inline constexpr int LeftHalf = 272;    // "<<"
inline constexpr int LeftWhole = 273;   // "<<  <"
inline constexpr int StepDown = 28;     // " << step"
inline constexpr int StepUp = 282;      // " >> step"

// Two-way switches: the caption names what the next click does.
inline constexpr int Scale = 29;    // "sc frame" / "sc overall"
inline constexpr int Fit = 31;      // "fit to frame" / "use step"
inline constexpr int Reverse = 32;  // "x high -> low" / "x low -> high"
inline constexpr int Sqrt = 33;     // "sqrt(y)" / "linear(y)"
inline constexpr int Smooth = 34;   // "add smoothed" / "remove smoothed"

// The Fo/s(Fo) limit.
inline constexpr int AllRefl = 30;   // " all refl": limit 0
inline constexpr int ObsRefl = 302;  // " obs refl": limit 3
inline constexpr int SlimDown = 35;  // " <<  slim"
inline constexpr int SlimUp = 352;   // " >> slim"

// Laid out but never enabled or shown: no command of their own.
inline constexpr int NegClipUp = 312;  // "  >> -clip", hidden
inline constexpr int MeanFDown = 36;   // " <<  <F>"
inline constexpr int MeanFUp = 362;    // " >> <F>"

inline constexpr int ResetView = 37;
inline constexpr int Exit = 38;

// ibstate has an entry for Index 0 to this one.
inline constexpr int MaxStateIndex = 38;

inline constexpr std::array<int, 14> YQuantities = {Fo,     Fc,       dF_Fo,     dF_sFo,
                                                    Fo_Fc,  Fo_sFo,   Abscor,    Drift,
                                                    Weight, BckgrRat, dF_meanFo, dF_meansFo,
                                                    meandF_Fo, meandF_sFo};
inline constexpr std::array<int, 10> XQuantities = {VsFo,     VsFc,    VsTheta,  VsPhi,
                                                    VsOmega,  VsKappa, VsAbscor, VsDrift,
                                                    VsWeight, VsXRtime};
inline constexpr std::array<int, 5> Switches = {Scale, Fit, Reverse, Sqrt, Smooth};
// The view-window and step buttons of the right-hand column; always enabled
// or disabled together, in this order.
inline constexpr std::array<int, 10> ViewButtons = {RightThird, RightHalf, RightWhole, ToFirst,
                                                    ToLast,     LeftThird, LeftHalf,   LeftWhole,
                                                    StepDown,   StepUp};

constexpr bool is_x_quantity(int k) { return k >= VsFo && k <= VsXRtime; }
constexpr bool is_y_quantity(int k) {
    return (k >= Fo && k <= dF_meansFo) || k == meandF_Fo || k == meandF_sFo;
}
constexpr bool is_quantity(int k) { return is_x_quantity(k) || is_y_quantity(k); }
constexpr bool is_switch(int k) {
    return k == Scale || k == Fit || k == Reverse || k == Sqrt || k == Smooth;
}
// The commands that only rebuild the curve from the data: they stay live
// while the chosen quantities give an empty curve.
constexpr bool is_limit(int k) {
    return k == AllRefl || k == ObsRefl || k == SlimDown || k == SlimUp;
}

// What a two-way switch shows in each of its states.
struct SwitchFace {
    const char* caption;
    const char* tooltip;
};
struct SwitchFaces {
    int index;
    SwitchFace up;    // the default mode: the caption offers the other one
    SwitchFace down;  // the other mode is in force
};

inline constexpr SwitchFaces kSwitchFaces[] = {
    {Scale,
     {"sc frame", "Scale each frame individually in the y-direction"},
     {"sc overall", "Use one overall scale factor in the y-direction"}},
    {Fit,
     {"fit to frame", "Fit the whole plot to a single frame"},
     {"use step", "Use step size to scale in the x-direction"}},
    {Reverse,
     {"x high -> low", "Plot the x-values from high to low"},
     {"x low -> high", "Plot the x-values from low to high"}},
    {Sqrt, {"sqrt(y)", "Plot square root values for y"}, {"linear(y)", "Plot linear values for y"}},
    {Smooth,
     {"add smoothed", "Add a smoothed curve to the plot"},
     {"remove smoothed", "Remove the smoothed curve from the plot"}},
};

// The faces of switch k, or nullptr when k is no switch.
constexpr const SwitchFaces* switch_faces(int k) {
    for (const auto& s : kSwitchFaces)
        if (s.index == k) return &s;
    return nullptr;
}

}  // namespace vorsel::plot::but
