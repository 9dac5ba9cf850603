#include "display/elements.h"

#include <algorithm>

namespace qx {
namespace {

constexpr std::array<std::string_view, kElementCount> kNames = {
    "Bar0", "BAR1", "bar2", "bar3", "bar4", "bar5",
    "bar6", "bar7", "bar8", "bar9", "bar10", "bar11",
    "bar12", "bar13", "bar14", "bar15", "bar16", "bar17",
    "bar18", "bar19", "bar20", "bar21", "bar22", "bar23",
    "bar24", "bar25", "bar26", "bar27", "bar28", "bar29",
    "bar30", "LabFUL", "Labclr", "Labng", "Shape1", "Shape2",
    "Shape3", "Shape4", "labdc", "labt", "labac", "labmo",
    "Labgo", "Labv", "Labo", "Labmo1", "Labgo1", "Labto",
    "power", "labs1", "labs2", "labs3", "labCOMP", "labTIME1",
    "labtime2", "Labtime", "labsave", "labLoad", "labp1", "danger",
    "IMoff", "IMmike", "IGPower", "powerV1", "powerv2", "powerv3",
    "T_dPoint1", "Point1", "Point2", "Point3", "LabelF", "Labgood",
    "stor1", "Label4", "LabelA", "LabelB", "LabelC", "LabelD",
    "Label3", "Label7", "Label10", "Label9", "H_Time1", "H_Time2",
    "M_Time1", "M_Time2", "stor2", "KD", "CONok", "CONokN",
    "rsUSB",
};

}  // namespace

std::string_view ElementName(Element e) { return kNames[static_cast<std::size_t>(Index(e))]; }

std::optional<Element> ElementByName(std::string_view name) {
    const auto* it = std::find(kNames.begin(), kNames.end(), name);
    if (it == kNames.end()) return std::nullopt;
    return static_cast<Element>(it - kNames.begin());
}

}  // namespace qx
