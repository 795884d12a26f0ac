#include "stored/TravelText.h"

#include "misc/Text.h"
#include "storage/Reg.h"
#include "stored/StoredDocument.h"
#include "stored/StoredNames.h"

namespace velmora {
namespace {

constexpr std::size_t kMostNameShown = 60;

std::optional<std::wstring> LabelIn(const TravellingMessage& message) {
    std::optional<std::wstring> label = ReadAwayDocument(TextOfData(message.data)).label;
    if (label && label->empty()) label.reset();
    return label;
}

}  // namespace

std::vector<TravellingMessage> CopiedInto(const std::vector<TravellingMessage>& chosen, std::wstring_view toScreenName,
                                          std::optional<std::wstring_view> intoSlot) {
    std::vector<TravellingMessage> copies;
    for (const TravellingMessage& message : chosen) {
        TravellingMessage copy = message;
        copy.screenName = toScreenName;
        if (intoSlot && chosen.size() == 1) copy.valueName = AwayValueName(*intoSlot);
        copies.push_back(std::move(copy));
    }
    return copies;
}

Landing LandingOf(std::string_view data, bool present, std::string_view dataNow) {
    if (!present) return Landing::New;
    return data == dataNow ? Landing::Same : Landing::Replaces;
}

std::wstring LabelOf(const TravellingMessage& message) {
    const std::optional<std::wstring> label = LabelIn(message);
    return OneLine(label ? *label : message.valueName, kMostNameShown);
}

std::wstring ReplaceQuestion(const TravellingMessage& there, const TravellingMessage& coming) {
    const std::optional<std::wstring> thereLabel = LabelIn(there);
    std::wstring question = L"Replace ";
    question += MessageNamed(there.valueName, thereLabel ? std::optional<std::wstring_view>(*thereLabel) : std::nullopt,
                             kMostNameShown);
    question += L" of " + OneLine(there.screenName, kMostNameShown) + L" with '" + LabelOf(coming) + L"' of " +
                OneLine(coming.screenName, kMostNameShown) + L"?";
    return question;
}

std::wstring SkippedLineText(const SkippedLine& line) {
    return L"Line " + DecimalText(static_cast<long long>(line.line)) + L": " + SkipReasonText(line.reason) + L": " +
           line.text;
}

}  // namespace velmora
