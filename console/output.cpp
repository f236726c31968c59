#include <string>

#include "backend.h"
#include "charset.h"
#include "console.h"
#include "output.h"

// One write per line: the text and its line end go out together.
void WriteLine(std::string_view text)
{
    std::string line(text);
    line += LineEnd();
    WriteOut(line);
}

namespace {
std::string Line;  // written since the last line end
}

void NoteLine(std::string_view text)
{
    std::size_t end = text.rfind('\n');
    if (end == std::string_view::npos)
        Line.append(text.data(), text.size());
    else
        Line.assign(text.substr(end + 1));
}

const std::string& LineSoFar()
{
    return Line;
}

bool CellsFit(int x, int y, std::string_view text)
{
    int cells = 0;
    for (const std::string& c : SplitChars(text)) {
        int width = CharWidth(c);
        if (width == 0)
            return false;
        cells += width;
    }
    return cells > 0 && x >= 1 && x + cells - 1 <= ScreenWidth && y >= 1 && y <= ScreenHeight;
}
