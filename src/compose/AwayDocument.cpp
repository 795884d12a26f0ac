#include "compose/AwayDocument.h"

namespace velmora {

namespace {

using namespace AwayDocumentPieces;

std::size_t StyleHeaderLength(std::wstring_view bodyColour, std::wstring_view fontColour, std::wstring_view fontSize) {
    return kBodyOpen.size() + bodyColour.size() + kFontOpen.size() + fontColour.size() + kFontFace.size() +
           fontSize.size() + kHeaderClose.size();
}

void AppendStyleHeader(std::wstring& document, std::wstring_view bodyColour, std::wstring_view fontColour,
                       std::wstring_view fontSize) {
    document.append(kBodyOpen);
    document.append(bodyColour);
    document.append(kFontOpen);
    document.append(fontColour);
    document.append(kFontFace);
    document.append(fontSize);
    document.append(kHeaderClose);
}

}  // namespace

std::wstring BuildAwayDocument(std::wstring_view label, std::wstring_view bodyColour, std::wstring_view fontColour,
                               std::wstring_view fontSize, std::wstring_view message,
                               std::optional<std::wstring_view> song) {
    const std::size_t headerLength = StyleHeaderLength(bodyColour, fontColour, fontSize);
    std::size_t length =
        kTitleOpen.size() + label.size() + kTitleClose.size() + headerLength + message.size() + kClosingTags.size();
    if (song) {
        length += kSongBreak.size() + headerLength + kSongIntro.size() + song->size();
    }

    std::wstring document;
    document.reserve(length);
    document.append(kTitleOpen);
    document.append(label);
    document.append(kTitleClose);
    AppendStyleHeader(document, bodyColour, fontColour, fontSize);
    document.append(message);
    document.append(kClosingTags);
    if (song) {
        // The song line repeats the style header and is left unclosed on purpose:
        // the document ends with the song text.
        document.append(kSongBreak);
        AppendStyleHeader(document, bodyColour, fontColour, fontSize);
        document.append(kSongIntro);
        document.append(*song);
    }
    return document;
}

std::wstring BuildAwayDocument(const AwayFields& fields, const std::optional<std::wstring>& song,
                               const CarriesCharacter& carries) {
    const bool withSong = fields.songWanted && song.has_value();
    return WithCharacterReferences(
        BuildAwayDocument(fields.label, fields.bodyColour, fields.fontColour, fields.fontSize, fields.message,
                          withSong ? std::optional<std::wstring_view>(*song) : std::nullopt),
        carries);
}

}  // namespace velmora
