#pragma once
// Every switchable element of the tester's LCD, by the name of its control in the main window.

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qx {

enum class Element : std::uint8_t {
    // The segment set: everything a frame bit drives except the digit labels (74 elements).
    Bar0, BAR1, bar2, bar3, bar4, bar5, bar6, bar7, bar8, bar9, bar10,
    bar11, bar12, bar13, bar14, bar15, bar16, bar17, bar18, bar19, bar20,
    bar21, bar22, bar23, bar24, bar25, bar26, bar27, bar28, bar29, bar30,
    LabFUL, Labclr, Labng,
    Shape1, Shape2, Shape3, Shape4,
    labdc, labt, labac, labmo, Labgo,
    Labv, Labo, Labmo1, Labgo1, Labto,
    power, labs1, labs2, labs3,
    labCOMP, labTIME1, labtime2, Labtime,
    labsave, labLoad, labp1,
    danger, IMoff, IMmike, IGPower,
    powerV1, powerv2, powerv3,
    T_dPoint1, Point1, Point2, Point3, LabelF, Labgood, stor1, Label4,
    // The 13 digit labels, in decoding order.
    LabelA, LabelB, LabelC, LabelD,
    Label3, Label7, Label10, Label9,
    H_Time1, H_Time2, M_Time1, M_Time2,
    stor2,
    // Outside the segment set: the scale panel, the link indicator pair and the USB label.
    KD, CONok, CONokN, rsUSB,
};

inline constexpr int kElementCount = static_cast<int>(Element::rsUSB) + 1;
inline constexpr int kSegmentSetCount = static_cast<int>(Element::Label4) + 1;
inline constexpr int kDigitCount = 13;
inline constexpr Element kFirstDigit = Element::LabelA;

constexpr int Index(Element e) { return static_cast<int>(e); }
constexpr bool InSegmentSet(Element e) { return Index(e) < kSegmentSetCount; }
constexpr bool IsDigit(Element e) {
    return Index(e) >= Index(Element::LabelA) && Index(e) <= Index(Element::stor2);
}
/// Digit number 0..12 in decoding order (LabelA .. stor2).
constexpr int DigitIndex(Element e) { return Index(e) - Index(kFirstDigit); }
constexpr Element DigitElement(int digit) {
    return static_cast<Element>(Index(kFirstDigit) + digit);
}
/// The k-th bar-graph segment, 0 (Bar0) .. 30 (bar30).
constexpr Element BarElement(int k) { return static_cast<Element>(Index(Element::Bar0) + k); }

std::string_view ElementName(Element e);
std::optional<Element> ElementByName(std::string_view name);

}  // namespace qx
