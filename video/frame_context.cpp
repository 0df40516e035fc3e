#include "frame_context.h"

#include <QPainter>

#include <algorithm>
#include <array>
#include <chrono>
#include <ctime>

#include "base/resource_folder.h"
#include "model/project.h"

namespace lantrel {

namespace {

constexpr QRgb kBlack = 0xFF000000;
constexpr QRgb kWhite = 0xFFFFFFFF;
constexpr QRgb kBandColour = 0xFFCEEFE7;     // (206, 239, 231)
constexpr QRgb kBarLineColour = 0xFFFF9600;  // (255, 150, 0)
constexpr QRgb kLineColour = 0xFFA5C7B5;     // (165, 199, 181)
constexpr QRgb kCheatColour = 0xFFFF0000;

constexpr int kBandHeight = 112;
constexpr int kBandPitch = 116;  // band and the gap below it
constexpr int kGap = 4;
constexpr int kBarBandHeight = 20;
constexpr int kCursorX = 218;  // where the current column stands once the score scrolls
constexpr int kHalfBeatWidth = 16;
constexpr int kColumnWidth = 32;
constexpr int kStaffLines[] = {14, 30, 46, 62, 78};
constexpr int kLedgerOffset = 96;

int currentMinute() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    return local.tm_min;
}

// Raw pixel drawing on the 32-bit picture, clipped to it. Works on the image's memory directly:
// going through QImage for every pixel would cost more than the drawing itself.
class Canvas {
  public:
    explicit Canvas(QImage& image)
        : bits_(image.bits()),
          stride_(image.bytesPerLine()),
          width_(image.width()),
          height_(image.height()) {}

    void fill(int x, int y, int width, int height, QRgb colour) {
        const int left = std::max(x, 0), right = std::min(x + width, width_);
        for (int row = std::max(y, 0); row < std::min(y + height, height_); ++row)
            std::fill(line(row) + left, line(row) + std::max(left, right), colour);
    }
    // A 1-pixel column line in the checkerboard pattern: `even` where x + y is even.
    void checkerLine(int x, int y, int height, QRgb even, QRgb odd) {
        if (x < 0 || x >= width_) return;
        for (int row = std::max(y, 0); row < std::min(y + height, height_); ++row)
            line(row)[x] = (x + row) % 2 == 0 ? even : odd;
    }
    // Copies the opaque pixels of a strip area (mask at the same coordinates).
    void drawMasked(const QImage& strip, const BitMask& mask, int sourceX, int width, int height,
                    int x, int y) {
        for (int row = 0; row < height; ++row) {
            if (y + row < 0 || y + row >= height_) continue;
            const auto* source = reinterpret_cast<const QRgb*>(strip.constScanLine(row));
            for (int column = 0; column < width; ++column) {
                const int target = x + column;
                if (target >= 0 && target < width_ && !mask.transparent(sourceX + column, row))
                    line(y + row)[target] = source[sourceX + column] | 0xFF000000;
            }
        }
    }
    // The clef is its own mask: black where it is opaque, the picture unchanged elsewhere.
    void drawInk(const BitMask& picture, int x, int y) {
        for (int row = 0; row < picture.height(); ++row)
            for (int column = 0; column < picture.width(); ++column)
                if (!picture.transparent(column, row)) set(x + column, y + row, kBlack);
    }
    // A square strip cell enlarged by a whole factor, without a mask.
    void drawEnlarged(const QImage& strip, int sourceX, int size, int scale, int x, int y) {
        for (int row = 0; row < size * scale; ++row)
            for (int column = 0; column < size * scale; ++column)
                set(x + column, y + row,
                    strip.pixel(sourceX + column / scale, row / scale) | 0xFF000000);
    }

  private:
    QRgb* line(int row) {
        return reinterpret_cast<QRgb*>(bits_ + static_cast<qsizetype>(row) * stride_);
    }
    void set(int x, int y, QRgb colour) {
        if (x >= 0 && y >= 0 && x < width_ && y < height_) line(y)[x] = colour;
    }
    uchar* bits_;
    qsizetype stride_;
    int width_;
    int height_;
};

struct LaneView {
    int lane;
    int length;
    int top;
};

// Draws one frame; holds what the steps share.
class FrameRenderer {
  public:
    explicit FrameRenderer(FrameContext& context)
        : context_(context),
          project_(*context.project()),
          canvas_(*context.target()),
          settings_(project_.settings()),
          position_(context.position()),
          screenPosition_(std::max(position_, 8)) {}

    void render() {
        canvas_.fill(0, 0, kScreenWidth, kScreenHeight, kBlack);
        const std::vector<LaneView> lanes = visibleLanes();
        if (lanes.empty()) return drawEmptyArrangement();
        for (std::size_t k = 0; k < lanes.size(); ++k)
            drawLane(lanes[k], k > 0);
        drawBarNumbers(lanes.front().top - kBarBandHeight);
        if (position_ >= 0) drawRunner(lanes.front().top - kBarBandHeight);
        for (const LaneView& lane : lanes)
            drawNotes(lane);
    }

  private:
    QRgb blended(QRgb colour) const { return blend(colour, kBlack, settings_.brightness); }
    int columnX(int column) const {
        return kCursorX + kColumnWidth * column - kHalfBeatWidth * screenPosition_;
    }

    std::vector<LaneView> visibleLanes() const {
        std::vector<LaneView> lanes;
        for (int lane = 0; lane < kLaneCount; ++lane)
            if (const int length = project_.columnCount(lane); length > 0)
                lanes.push_back({lane, length, 0});
        const int count = static_cast<int>(lanes.size());
        for (int k = 0; k < count; ++k)
            lanes[static_cast<std::size_t>(k)].top =
                (368 - kBandPitch * count) / 2 + kBandPitch * k + 20;
        return lanes;
    }

    // The visible columns: from the current one leftwards while on screen, then rightwards.
    template <typename Visit>
    void forEachVisibleColumn(Visit visit) const {
        const int current = (screenPosition_ & ~1) / 2;
        for (int column = current; column >= 0 && columnX(column) >= -kColumnWidth; --column)
            visit(column);
        for (int column = current + 1; columnX(column) < kScreenWidth; ++column)
            visit(column);
    }

    // Calls `visit(pitch, instrument)` for the notes of a cell, up to its first empty slot.
    template <typename Visit>
    void forEachNote(int lane, int column, Visit visit) const {
        for (int slot = 0; slot < kSlotsPerCell; ++slot) {
            const int pitch = project_.pitch(lane, column, slot);
            if (pitch < 1) return;
            visit(pitch, project_.instrument(lane, column, slot));
        }
    }

    void drawLane(const LaneView& lane, bool gapAbove) {
        if (gapAbove) canvas_.fill(0, lane.top - kGap, kScreenWidth, kGap, blended(kWhite));
        canvas_.fill(0, lane.top, kScreenWidth, kBandHeight, blended(kBandColour));
        for (int offset : kStaffLines)
            canvas_.fill(0, lane.top + offset, kScreenWidth, 2, kBlack);
        const int clefOffset = kCursorX - kHalfBeatWidth * screenPosition_;
        if (clefOffset > 0) canvas_.drawInk(context_.sprites().clef(), clefOffset - 88, lane.top);
        forEachVisibleColumn([&](int column) { drawColumn(lane, column); });
        if (settings_.lanes[static_cast<std::size_t>(lane.lane)].instruments[0].pitchFactor != 1.0)
            drawCheat(lane.top);
    }

    void drawColumn(const LaneView& lane, int column) {
        const int x = columnX(column);
        if (column == lane.length) {
            canvas_.fill(x + 6, lane.top + 16, 1, 64, kBlack);
            canvas_.fill(x + 10, lane.top + 16, 4, 64, kBlack);
            return;
        }
        const bool barStart = column % (settings_.fourFour ? 4 : 3) == 0;
        canvas_.checkerLine(x + 8, lane.top, kBandHeight,
                            blended(barStart ? kBarLineColour : kLineColour), blended(kWhite));
        forEachNote(lane.lane, column, [&](int pitch, int) {
            if (pitch > 11) canvas_.fill(x - 4, lane.top + kLedgerOffset, 24, 2, kBlack);
        });
    }

    void drawCheat(int top) {
        QPainter painter(context_.target());
        QFont font = monospacedGothicFont(29, true);  // 22 points at 96 dots per inch
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(QColor(kCheatColour));
        const QString text = QStringLiteral("CHEAT");
        const QFontMetrics metrics(font);
        const QRect box(10, top + 110 - metrics.height(), metrics.horizontalAdvance(text),
                        metrics.height());
        painter.drawText(box, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine, text);
    }

    void drawBarNumbers(int bandTop) {
        canvas_.fill(0, bandTop, kScreenWidth, kBarBandHeight, blended(kWhite));
        QPainter painter(context_.target());
        QFont font = context_.sprites().barNumberFont();
        font.setStyleStrategy(QFont::NoAntialias);
        painter.setFont(font);
        painter.setPen(QColor(kBlack));
        const QFontMetrics metrics(font);
        const int barLength = settings_.fourFour ? 8 : 6;
        const int firstStart = screenPosition_ / barLength * barLength;
        auto centreOf = [&](int start) {
            return kCursorX - kHalfBeatWidth * (screenPosition_ - start) + 8;
        };
        auto draw = [&](int start) {
            const QString text = QString::number(start / barLength + 1);
            const int width = metrics.horizontalAdvance(text);
            painter.drawText(QRect(centreOf(start) - width / 2, bandTop, width, kBarBandHeight),
                             Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine, text);
        };
        for (int start = firstStart; start >= 0 && centreOf(start) > -16; start -= barLength)
            draw(start);
        for (int start = firstStart + barLength; centreOf(start) <= kScreenWidth;
             start += barLength)
            draw(start);
    }

    // The runner walks in over the first eight half-beats, then stays while the score moves;
    // its two cells alternate with the half-beat.
    void drawRunner(int top) {
        const int cell = position_ % 2 == 1 ? 0 : 1;
        const int x = 210 - kHalfBeatWidth * (screenPosition_ - position_);
        canvas_.drawMasked(context_.sprites().runnerStrip(), context_.sprites().runnerMask(),
                           cell * SpriteSheets::kRunnerWidth, SpriteSheets::kRunnerWidth,
                           SpriteSheets::kRunnerHeight, x, top);
    }

    void drawNotes(const LaneView& lane) {
        forEachVisibleColumn([&](int column) {
            if (column == lane.length) return;
            forEachNote(lane.lane, column, [&](int pitch, int instrument) {
                if (instrument < 1 || instrument > SpriteSheets::kIconCells)
                    return;  // no such icon
                canvas_.drawMasked(context_.sprites().iconStrip(), context_.sprites().iconMask(),
                                   (instrument - 1) * SpriteSheets::kIconSize,
                                   SpriteSheets::kIconSize, SpriteSheets::kIconSize,
                                   columnX(column), lane.top + 8 * (pitch - 1));
            });
        });
    }

    void drawEmptyArrangement() {
        const int minute = context_.minuteOfClock ? context_.minuteOfClock() : currentMinute();
        canvas_.fill(417, 289, 90, 90, kWhite);
        canvas_.drawEnlarged(context_.sprites().iconStrip(),
                             (minute % 15) * SpriteSheets::kIconSize, SpriteSheets::kIconSize, 5,
                             422, 294);
    }

    FrameContext& context_;
    const Project& project_;
    Canvas canvas_;
    const ProjectSettings settings_;
    const int position_;
    const int screenPosition_;  // the score stands still until the runner reaches it
};

}  // namespace

QRgb blend(QRgb a, QRgb b, int k) {
    auto channel = [k](int x, int y) {
        return std::clamp(k * x / 255 + y * (255 - k) / 255, 0, 255);
    };
    return qRgb(channel(qRed(a), qRed(b)), channel(qGreen(a), qGreen(b)),
                channel(qBlue(a), qBlue(b)));
}

QImage makeScreenImage() {
    return QImage(kScreenWidth, kScreenHeight, QImage::Format_RGB32);
}

FrameContext::FrameContext(std::span<const std::filesystem::path> resourceFolders)
    : sprites_(resourceFolders) {}

void FrameContext::attach(const Project& project) {
    project_ = &project;
}

FrameContext& FrameContext::prepare(QImage* target, int position) {
    target_ = target;
    position_ = position;
    return *this;
}

void RenderFrame(FrameContext& context) {
    if (!context.project() || !context.target() ||
        context.target()->size() != QSize(kScreenWidth, kScreenHeight) ||
        context.target()->format() != QImage::Format_RGB32)
        return;
    FrameRenderer(context).render();
}

}  // namespace lantrel
