#include "SynchTexts.h"

#include "ResString.h"
#include "TextFormat.h"
#include "resource.h"

namespace {

// String ids by mode kind; kinds 2 and 3 are distinct entries that read the same.
const UINT kModeKindTexts[] = {
    IDS_MODE_UNSPECIFIED, IDS_MODE_CSP,           IDS_MODE_SYT,
    IDS_MODE_SYT_ALT,     IDS_MODE_DIGITAL_INPUT, IDS_MODE_EXTERNAL_CLOCK,
};

const UINT kSourceKindTexts[] = {IDS_SOURCE_INTERNAL, IDS_SOURCE_EXTERNAL};

template <size_t N> std::string KindText(const UINT (&texts)[N], uint32_t kind, LANGID language) {
    return kind < N ? LoadResString(texts[kind], language) : std::string();
}

} // namespace

std::string GetSynchSourceText(uint32_t sourceKind, LANGID language) {
    return KindText(kSourceKindTexts, sourceKind, language);
}

std::string GetSynchModeText(const SynchMode& mode, LANGID language) {
    std::string text = KindText(kModeKindTexts, mode.Kind, language);
    std::string name = FieldText(mode.Name);
    if (!name.empty())
        text += " (" + name + ")";
    return text;
}

std::string GetSampleRateText(uint32_t rateHz) {
    return FormatText("%u.%u kHz", static_cast<unsigned>(rateHz / 1000),
                      static_cast<unsigned>(rateHz % 1000 / 100));
}
