#pragma once
// The job's settings as IPP job attributes, read from the job header the
// header builder wrote: each setting the printer is to carry out is one value
// of one job attribute, with the words the operator knows it by, so that a
// setting the printer cannot do can be named and left out on its own.
#include <string>
#include <string_view>
#include <vector>

#include "platform/strings.h"
#include "print/ipp_message.h"
#include "print/job_ticket.h"

namespace orvox {

// Values of the finishings attribute used here.
namespace finishing {
inline constexpr int kNone = 3;
inline constexpr int kSaddleStitch = 8;
inline constexpr int kTrim = 11;
inline constexpr int kBookletMaker = 13;
inline constexpr int kJogOffset = 14;
inline constexpr int kStapleTopLeft = 20;
inline constexpr int kStapleBottomLeft = 21;
inline constexpr int kStapleDualLeft = 28;
inline constexpr int kStapleTripleLeft = 32;
inline constexpr int kFoldHalf = 93;
inline constexpr int kFoldZ = 100;
} // namespace finishing

struct IppSetting {
    // The setting in the operator's words; empty for a value that asks for
    // nothing (finishings none), which goes when the printer does not know it.
    std::string words;
    // The job attribute this value belongs to; empty for a setting that has no
    // IPP attribute, which no printer can be told.
    std::string attribute;
    ipp::Value value;
};

struct IppJobSettings {
    std::vector<IppSetting> settings;
    std::string dataFormat;  // the data-format entry: pdf, pdf-from-tiff, postscript, pcl, or empty
};

// The settings of a job ticket, in the order their attributes are sent.
IppJobSettings ippJobSettings(const JobTicket& ticket, const platform::StringSource& strings);

// The job attributes of the settings whose `keep` entry is true (all when
// `keep` is null): one attribute per name, its values in the settings' order.
std::vector<ipp::Attribute> ippJobAttributes(const std::vector<IppSetting>& settings,
                                             const std::vector<bool>* keep = nullptr);

// A user text of the header as an IPP text: the header's fix-up of hyphens
// and quotes undone, control bytes made blanks, the single-byte Windows text
// made UTF-8, and cut to `maxBytes` at a whole character.
std::string ippText(std::string_view headerText, std::size_t maxBytes = 255);

// `text` with each %s replaced by the next argument.
std::string fillIn(std::string text, const std::vector<std::string>& args);

} // namespace orvox
