#pragma once

#include "welcome/ConnectionPillState.h"

#include <QFont>
#include <QString>

// The connection pill's sizes: an explicit width from measured text, not the content's
// natural size, so that every state change can animate between two known widths.
namespace vantora::pillMetrics {

inline constexpr int textPixelSize = 14;
inline constexpr int maximumWidth = 392;
inline constexpr int searchingWidth = 218;
inline constexpr int readyHeight = 36;
inline constexpr int height = 38;

// The found row: side padding, the bridge glyph, the gap between items, and the extra
// space before the address.
inline constexpr int foundSidePadding = 16;
inline constexpr int foundGlyphSide = 16;
inline constexpr int foundSpacing = 12;
inline constexpr int foundAddressLead = 36;
// Everything of the found row but the name and the address.
inline constexpr int foundFixedWidth =
    foundSidePadding + foundGlyphSide + foundSpacing + foundSpacing + foundAddressLead + foundSidePadding;
// The retry row: side padding and the gap between the message and the button.
inline constexpr int retrySidePadding = 16;
inline constexpr int retrySpacing = 32;

// The width `text` takes in the application's font at 14 logical pixels of `weight`,
// rounded up to the next whole pixel. Empty text is 0 wide.
int textWidth(const QString &text, QFont::Weight weight);

// The pill's width for `state`: the measured texts of the state plus fixed space, at most
// maximumWidth; `searching` is always searchingWidth, whatever message shows.
int pillWidth(const ConnectionPillState &state);
// readyHeight in `ready`, height in every other state.
int pillHeight(const ConnectionPillState &state);

// How the found row shares its text space (the pill's width less foundFixedWidth) between
// the bridge name and its address: the address keeps its width first and the name is cut
// at its end, down to `nameMinimum`; only an address too long by itself is cut. Widths
// never go below 0.
struct FoundRowWidths final {
    qreal name = 0;
    qreal address = 0;

    friend bool operator==(const FoundRowWidths &, const FoundRowWidths &) = default;
};
FoundRowWidths foundRowWidths(qreal pillWidth, qreal nameWidth, qreal addressWidth, qreal nameMinimum);

} // namespace vantora::pillMetrics
