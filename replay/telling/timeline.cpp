// The timeline: every press's interval over the recording's time, one row per button of
// TapTally and one for the side buttons and the wheel, on a logarithmic scale from 1 ms
// to 10 s, with the trigger value as a line, TapTally's errors and the findings marked.
#include "replay/telling/report.h"

#include "replay/reading/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace replay {

namespace {

const int WIDTH = 1000, ROW_HEIGHT = 180, LEFT = 80, RIGHT = 30, TOP = 50, GAP = 40;
const int PLOT_WIDTH = WIDTH - LEFT - RIGHT;
const double DECADES = 4;            // 1 ms to 10 000 ms
const double ERROR_LABEL_WIDTH = 18; // px: an error's number, bold, two digits and a gap

const int ROWS = 4; // left, middle, right, then the side buttons, the wheel and the sensor

// Text for XML: its markup escaped, and what XML cannot hold (control bytes, bytes that
// are no UTF-8) shown as U+FFFD.
std::string Escaped(const std::string &text) {
    std::string escaped;
    for (size_t at = 0; at < text.size();) {
        unsigned char c = (unsigned char)text[at];
        size_t length = c >= 0x80 ? Utf8Length(text, at) : 1;
        if (length == 0 || (c < 0x20 && c != '\t')) {
            escaped += "\xef\xbf\xbd";
            ++at;
            continue;
        }
        escaped += c == '<'   ? "&lt;"
                   : c == '>' ? "&gt;"
                   : c == '&' ? "&amp;"
                   : c == '"' ? "&quot;"
                              : text.substr(at, length);
        at += length;
    }
    return escaped;
}

// The row of a button or of the wheel.
int RowOf(const std::string &button) {
    for (int i = 0; i < PANEL_BUTTONS; ++i) {
        if (button == ButtonName(i)) {
            return i;
        }
    }
    return PANEL_BUTTONS;
}

struct Scale {
    int64_t DurationMs;
    double X(int64_t ms) const { return LEFT + (double)ms / (double)DurationMs * PLOT_WIDTH; }
    static double Y(int row, double intervalMs) {
        double decades = std::log10(std::max(1.0, std::min(intervalMs, 10000.0)));
        return RowBottom(row) - decades / DECADES * ROW_HEIGHT;
    }
    static int RowTop(int row) { return TOP + row * (ROW_HEIGHT + GAP); }
    static int RowBottom(int row) { return RowTop(row) + ROW_HEIGHT; }
};

// A step of 1, 2 or 5 times a power of ten that cuts the duration into at most ten parts.
int64_t TickStep(int64_t durationMs) {
    int64_t step = 1;
    for (;;) {
        for (int factor : {1, 2, 5}) {
            if (durationMs / (step * factor) <= 10) {
                return step * factor;
            }
        }
        step *= 10;
    }
}

std::string Row(int row, const ReplayResult &result, const Scale &scale) {
    int top = Scale::RowTop(row), bottom = Scale::RowBottom(row);
    static const char *const TITLES[ROWS] = {"left button", "middle button", "right button",
                                             "side buttons, wheel and sensor"};
    std::string svg = Printf("<g id=\"row%d\">\n<text x=\"%d\" y=\"%d\" class=\"title\">%s: "
                             "interval since the press before (ms, logarithmic)</text>\n",
                             row, LEFT, top - 8, TITLES[row]);
    svg += Printf("<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" class=\"frame\"/>\n", LEFT,
                  top, PLOT_WIDTH, ROW_HEIGHT);
    for (int decade = 0; decade <= (int)DECADES; ++decade) {
        double y = Scale::Y(row, std::pow(10.0, decade));
        svg += Printf("<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" class=\"grid\"/>"
                      "<text x=\"%d\" y=\"%.1f\" class=\"axis\" text-anchor=\"end\">%d</text>\n",
                      LEFT, y, LEFT + PLOT_WIDTH, y, LEFT - 6, y + 4,
                      (int)std::lround(std::pow(10.0, decade)));
    }
    double trigger = Scale::Y(row, result.TriggerMs);
    svg += Printf("<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\" class=\"trigger\"/>"
                  "<text x=\"%d\" y=\"%.1f\" class=\"trigger-label\" text-anchor=\"end\">"
                  "trigger %d ms</text>\n",
                  LEFT, trigger, LEFT + PLOT_WIDTH, trigger, LEFT + PLOT_WIDTH - 4, trigger - 4,
                  result.TriggerMs);
    // An error's number is written only clear of the one before: two numbers written
    // over each other read as another number ("10" on "10" as "110").
    double labelled = -1e9;
    for (const BoxSeen &error : result.Errors) {
        if (ErrorButton(error.Code) == row) {
            double x = scale.X(error.Ms);
            svg += Printf("<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" class=\"error\">"
                          "<title>%.3f s: error %d</title></line>",
                          x, top, x, bottom, (double)error.Ms / 1000.0, error.Code);
            if (x - labelled >= ERROR_LABEL_WIDTH) {
                svg += Printf("<text x=\"%.1f\" y=\"%d\" class=\"error-label\" "
                              "text-anchor=\"middle\">%d</text>",
                              x, top + 12, error.Code);
                labelled = x;
            }
            svg += "\n";
        }
    }
    for (const Finding &finding : result.Findings) {
        if (finding.Kind == "sensor-jump") {
            // A jump has no interval: it is marked across the foot of the last row.
            if (row == ROWS - 1) {
                double x = scale.X(finding.Ms);
                svg += Printf("<path d=\"M%.1f %dl5 -6l-5 -6l-5 6z\" class=\"jump\"><title>%.3f "
                              "s: ",
                              x, bottom - 2, (double)finding.Ms / 1000.0) +
                       Escaped(finding.Text) + "</title></path>\n";
            }
            continue;
        }
        if (RowOf(finding.Button) == row) {
            double x = scale.X(finding.Ms), y = Scale::Y(row, (double)finding.ValueMs);
            svg += Printf("<path d=\"M%.1f %.1fl-4 7h8z\" class=\"finding\"><title>%.3f s: ", x,
                          y - 4, (double)finding.Ms / 1000.0) +
                   Escaped(finding.Text) + "</title></path>\n";
        }
    }
    for (const PressPoint &press : result.Presses) {
        if (std::min<int>(press.Which, PANEL_BUTTONS) == row) {
            bool fast = (int64_t)press.IntervalMs < result.TriggerMs;
            svg +=
                Printf("<circle cx=\"%.1f\" cy=\"%.1f\" r=\"2.5\" class=\"%s\"/>\n",
                       scale.X(press.Ms), Scale::Y(row, press.IntervalMs), fast ? "fast" : "press");
        }
    }
    return svg + "</g>\n";
}

// What each mark means, in one line below the plot.
std::string Legend(int y) {
    std::string svg = "<g id=\"legend\">\n";
    int x = LEFT;
    auto item = [&svg, &x, y](const std::string &mark, const char *text, int width) {
        svg += mark +
               Printf("<text x=\"%d\" y=\"%d\" class=\"axis\">%s</text>\n", x + 12, y + 4, text);
        x += width;
    };
    item(Printf("<circle cx=\"%d\" cy=\"%d\" r=\"3\" class=\"press\"/>", x + 4, y), "press", 70);
    item(Printf("<circle cx=\"%d\" cy=\"%d\" r=\"3\" class=\"fast\"/>", x + 4, y),
         "press below the trigger", 170);
    item(Printf("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" class=\"trigger\"/>", x - 4, y,
                x + 10, y),
         "trigger", 75);
    item(Printf("<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" class=\"error\"/>", x + 4, y - 7,
                x + 4, y + 7),
         "TapTally's error", 130);
    item(Printf("<path d=\"M%d %dl-4 7h8z\" class=\"finding\"/>", x + 4, y - 4), "finding", 80);
    item(Printf("<path d=\"M%d %dl5 -6l-5 -6l-5 6z\" class=\"jump\"/>", x + 4, y + 6),
         "sensor jump", 100);
    return svg + "</g>\n";
}

} // namespace

std::string TimelineSvg(const std::string &file, const ReplayResult &result,
                        const OutputOptions &options) {
    Scale scale{std::max<int64_t>(result.DurationMs, 1)};
    uint64_t findings = 0;
    for (const auto &kind : result.FindingCounts) {
        findings += kind.second;
    }
    int height = Scale::RowBottom(ROWS - 1) + 90;
    std::string svg = Printf("<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%d\" height=\"%d\" "
                             "viewBox=\"0 0 %d %d\" font-family=\"sans-serif\" font-size=\"12\">\n",
                             WIDTH, height, WIDTH, height);
    svg += "<style>.frame{fill:#fff;stroke:#000}.grid{stroke:#ccc}.axis{fill:#000}"
           ".title{font-weight:bold}.trigger{stroke:#d60;stroke-dasharray:6 4;stroke-width:1.5}"
           ".trigger-label{fill:#d60}.error{stroke:#c00;stroke-width:1.5}"
           ".error-label{fill:#c00;font-weight:bold}.press{fill:#26c}.fast{fill:#c00}"
           ".finding{fill:#e80;stroke:#000;stroke-width:0.5}"
           ".jump{fill:#82c;stroke:#000;stroke-width:0.5}</style>\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#f4f4f4\"/>\n";
    svg += "<text x=\"" + std::to_string(LEFT) + "\" y=\"24\" font-size=\"16\">TapTally " +
           (options.Live ? "live test" : "replay") + " of " + Escaped(file) + ": " +
           std::to_string(result.Errors.size()) + " error(s) of TapTally, " +
           std::to_string(findings) + " finding(s) beyond its test</text>\n";
    for (int row = 0; row < ROWS; ++row) {
        svg += Row(row, result, scale);
    }
    int axis = Scale::RowBottom(ROWS - 1);
    int64_t step = TickStep(scale.DurationMs);
    for (int64_t ms = 0; ms <= scale.DurationMs; ms += step) {
        double x = scale.X(ms);
        svg += Printf("<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#000\"/>"
                      "<text x=\"%.1f\" y=\"%d\" class=\"axis\" text-anchor=\"middle\">%g</text>\n",
                      x, axis, x, axis + 5, x, axis + 18, (double)ms / 1000.0);
    }
    svg += Printf("<text x=\"%d\" y=\"%d\" class=\"axis\" text-anchor=\"middle\">time in the "
                  "recording (s)</text>\n",
                  LEFT + PLOT_WIDTH / 2, axis + 40);
    return svg + Legend(axis + 70) + "</svg>\n";
}

} // namespace replay
