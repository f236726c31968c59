#include "countdown.h"

#include <cmath>
#include <limits>

#include "charset.h"
#include "console.h"

std::string CountdownText(const std::string& key, std::int64_t seconds)
{
    std::string number = std::to_string(seconds) + "s)";
    return key.empty() ? "(" + number : "(" + key + " in " + number;
}

float CountdownDue(const Countdown& countdown, float elapsed)
{
    if (countdown.Shown == 0)
        return 0;
    if (countdown.Cells == 0)
        return std::numeric_limits<float>::infinity();
    return std::floor(elapsed) + 1;
}

void CountdownShow(Countdown& countdown, std::int32_t seconds, float elapsed)
{
    std::int64_t left = seconds - static_cast<std::int64_t>(elapsed);
    bool placed = countdown.Shown != 0;
    if (placed && (countdown.Cells == 0 || left == countdown.Shown))
        return;
    std::string text = CountdownText(countdown.Key, left);
    if (!placed) {
        countdown.Place(countdown.X, countdown.Y);
        countdown.X++;
        // The key is the one character that may take other than one cell.
        bool shown = WriteCellsAt(countdown.X, countdown.Y, text);
        int keyCells = countdown.Key.empty() ? 0 : CharWidth(countdown.Key);
        countdown.Cells = shown ? static_cast<int>(text.size() - countdown.Key.size()) + keyCells : 0;
    } else {
        // A number shorter than the last leaves blanks where its digits were.
        text.append(std::to_string(countdown.Shown).size() - std::to_string(left).size(), ' ');
        WriteCellsAt(countdown.X, countdown.Y, text);
    }
    countdown.Shown = left;
}

void CountdownHide(Countdown& countdown)
{
    if (countdown.Cells > 0)
        WriteCellsAt(countdown.X, countdown.Y, std::string(countdown.Cells, ' '));
    countdown.Cells = 0;
}

void CountdownMoved(Countdown& countdown)
{
    countdown.Shown = 0;
    countdown.Cells = 0;
}
