#include "preview/TextLayout.h"

#include <algorithm>

namespace velmora {
namespace {

class Layouter {
public:
    Layouter(const MarkupDocument& document, TextMeasurer& measurer, int width, int ruleHeight)
        : document_(document),
          measurer_(measurer),
          width_(std::max(width, 1)),
          ruleHeight_(std::max(ruleHeight, 0)),
          metrics_(document.styles.size()),
          measured_(document.styles.size(), false) {}

    TextLayout Run() {
        bool gapBefore = false;  // the last block was a paragraph break
        for (const MarkupItem& item : document_.items) {
            switch (item.kind) {
                case MarkupItem::Kind::Text:
                    AddText(item);
                    gapBefore = false;
                    break;
                case MarkupItem::Kind::LineBreak:
                    EndWord();
                    EndLine(item.style);
                    gapBefore = false;
                    break;
                case MarkupItem::Kind::Paragraph:
                    EndWord();
                    if (lineOpen_) EndLine(item.style);
                    // One blank line between paragraphs, none before the first.
                    if (!gapBefore && !layout_.lines.empty()) EndLine(item.style);
                    gapBefore = true;
                    break;
                case MarkupItem::Kind::Rule:
                    EndWord();
                    if (lineOpen_) EndLine(item.style);
                    layout_.lines.push_back({y_, ruleHeight_, ruleHeight_ / 2, true});
                    y_ += ruleHeight_;
                    gapBefore = false;
                    break;
            }
        }
        EndWord();
        if (lineOpen_) EndLine(0);
        layout_.height = y_;
        return std::move(layout_);
    }

private:
    struct Segment {
        std::uint32_t style;
        std::uint32_t begin;
        std::uint32_t length;
        int width;
    };

    const FontMetrics& MetricsOf(std::uint32_t style) {
        if (!measured_[style]) {
            metrics_[style] = measurer_.Metrics(document_, document_.styles[style]);
            measured_[style] = true;
        }
        return metrics_[style];
    }

    void AddText(const MarkupItem& item) {
        const std::wstring_view text(document_.text.data() + item.begin, item.length);
        advances_.assign(text.size(), 0);
        measurer_.Advances(document_, document_.styles[item.style], text, advances_.data());
        auto advance = [&](std::size_t end) { return end == 0 ? 0 : advances_[end - 1]; };
        std::size_t i = 0;
        while (i < text.size()) {
            if (text[i] == L' ') {
                EndWord();
                // The blank is kept to place in front of the next word on this line.
                pendingSpace_ =
                    Segment{item.style, item.begin + static_cast<std::uint32_t>(i), 1, advance(i + 1) - advance(i)};
                hasPendingSpace_ = true;
                ++i;
                continue;
            }
            // A word may go on in the next item ("<B>Hel</B>lo"); it is placed once it ends.
            std::size_t end = i;
            while (end < text.size() && text[end] != L' ') ++end;
            word_.push_back({item.style, item.begin + static_cast<std::uint32_t>(i),
                             static_cast<std::uint32_t>(end - i), advance(end) - advance(i)});
            wordWidth_ += advance(end) - advance(i);
            i = end;
        }
    }

    void EndWord() {
        if (word_.empty()) return;
        const int spaceWidth = hasPendingSpace_ && lineOpen_ ? pendingSpace_.width : 0;
        if (lineOpen_ && x_ + spaceWidth + wordWidth_ > width_) {
            EndLine(word_.front().style);
        } else if (spaceWidth) {
            Place(pendingSpace_);
        }
        if (wordWidth_ > width_ - x_)
            PlaceBroken();
        else
            for (const Segment& segment : word_) Place(segment);
        word_.clear();
        wordWidth_ = 0;
        hasPendingSpace_ = false;
    }

    // A word wider than the line: as many characters on each line as fit, at least one. Rare,
    // so its pieces are measured again here.
    void PlaceBroken() {
        for (const Segment& segment : word_) {
            const std::wstring_view text(document_.text.data() + segment.begin, segment.length);
            brokenAdvances_.assign(text.size(), 0);
            measurer_.Advances(document_, document_.styles[segment.style], text, brokenAdvances_.data());
            std::uint32_t done = 0;
            while (done < segment.length) {
                const int base = done == 0 ? 0 : brokenAdvances_[done - 1];
                std::uint32_t count = 0;
                while (done + count < segment.length && x_ + (brokenAdvances_[done + count] - base) <= width_) ++count;
                if (count == 0 && !lineOpen_) count = 1;
                if (count == 0) {
                    EndLine(segment.style);
                    continue;
                }
                const int width = brokenAdvances_[done + count - 1] - base;
                Place({segment.style, segment.begin + done, count, width});
                done += count;
                if (done < segment.length) EndLine(segment.style);
            }
        }
    }

    void Place(const Segment& segment) {
        const FontMetrics& metrics = MetricsOf(segment.style);
        if (!lineOpen_) {
            lineOpen_ = true;
            ascent_ = 0;
            descent_ = 0;
        }
        ascent_ = std::max(ascent_, metrics.ascent);
        descent_ = std::max(descent_, metrics.descent);
        const auto line = static_cast<std::uint32_t>(layout_.lines.size());
        if (!layout_.pieces.empty()) {
            PlacedText& last = layout_.pieces.back();
            // Neighbours in one style on one line are drawn as one piece.
            if (last.line == line && last.style == segment.style && last.begin + last.length == segment.begin &&
                last.x + last.width == x_) {
                last.length += segment.length;
                last.width += segment.width;
                x_ += segment.width;
                return;
            }
        }
        layout_.pieces.push_back({line, segment.style, segment.begin, segment.length, x_, segment.width});
        x_ += segment.width;
    }

    // Ends the open line, or adds an empty one as high as the style's font.
    void EndLine(std::uint32_t style) {
        if (!lineOpen_) {
            const FontMetrics& metrics = document_.styles.empty()
                                             ? FontMetrics{}
                                             : MetricsOf(std::min<std::uint32_t>(
                                                   style, static_cast<std::uint32_t>(document_.styles.size() - 1)));
            ascent_ = metrics.ascent;
            descent_ = metrics.descent;
        }
        layout_.lines.push_back({y_, ascent_ + descent_, ascent_, false});
        y_ += ascent_ + descent_;
        lineOpen_ = false;
        x_ = 0;
        hasPendingSpace_ = false;
    }

    const MarkupDocument& document_;
    TextMeasurer& measurer_;
    const int width_;
    const int ruleHeight_;
    std::vector<FontMetrics> metrics_;
    std::vector<bool> measured_;
    TextLayout layout_;
    std::vector<int> advances_;
    std::vector<int> brokenAdvances_;
    std::vector<Segment> word_;
    int wordWidth_ = 0;
    Segment pendingSpace_{};
    bool hasPendingSpace_ = false;
    bool lineOpen_ = false;
    int x_ = 0;
    int y_ = 0;
    int ascent_ = 0;
    int descent_ = 0;
};

}  // namespace

TextLayout LayOutMarkup(const MarkupDocument& document, TextMeasurer& measurer, int width, int ruleHeight) {
    return Layouter(document, measurer, width, ruleHeight).Run();
}

std::wstring PlainTextOf(const MarkupDocument& document, const TextLayout& layout) {
    std::wstring text;
    std::size_t piece = 0;
    for (std::size_t line = 0; line < layout.lines.size(); ++line) {
        if (line) text += L"\r\n";
        for (; piece < layout.pieces.size() && layout.pieces[piece].line == line; ++piece)
            text.append(document.text, layout.pieces[piece].begin, layout.pieces[piece].length);
    }
    return text;
}

}  // namespace velmora
