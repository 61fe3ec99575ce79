#include "base/screen_geometry.h"

#include "base/fractions.h"

namespace {

const int ROWS = 27;
const int ICON_SIZE = 32;

ScreenLayout &Layout() {
    return State.Layout;
}

int RowUnitOf(int clientHeight) {
    return clientHeight / ROWS;
}

} // namespace

void ComputeScreenLayout(const RECT &client) {
    ScreenLayout &layout = Layout();
    int unit = RowUnitOf(layout.ClientHeight);
    layout.RowUnit = unit;
    layout.TextAreaWidth = client.right - client.left + 1;
    layout.PanelTop = 15 * unit;
    layout.PanelBottom = layout.PanelTop + 10 * unit;
    layout.LeftPanelX = 0;
    layout.MiddlePanelX = layout.ClientWidth / 3;
    layout.RightPanelX = (2 * layout.ClientWidth) / 3;
    layout.MovementTop = TruncatedSum(layout.PanelTop - 5 * unit, -0.5, unit);
    layout.PanelFrameTop = TruncatedSum(layout.PanelTop, -0.5, unit);
}

void RecomputeRowUnit() {
    Layout().RowUnit = RowUnitOf(Layout().ClientHeight);
}

RECT ScreenRect() {
    RECT all;
    SetRect(&all, 0, 0, Layout().ClientWidth, Layout().ClientHeight);
    return all;
}

MenuBarLine MenuBarLineOf() {
    int border = GetSystemMetrics(SM_CXBORDER);
    MenuBarLine line;
    line.Left = border;
    line.Right = Layout().ClientWidth - border;
    line.Y = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU);
    line.SampleX = Layout().ClientWidth / 2;
    return line;
}

int TitleX(int textWidth) {
    return (Layout().TextAreaWidth - textWidth) / 2;
}

int TitleY(int line) {
    return (line + 2) * Layout().RowUnit;
}

int CaptionX(int button, int textWidth) {
    int area = Layout().TextAreaWidth;
    switch (button) {
    case BUTTON_LEFT:
        return (area / 3 - textWidth) / 2;
    case BUTTON_MIDDLE:
        return area / 2 - textWidth / 2;
    default:
        return (2 * area) / 3 + (area / 3 - textWidth) / 2;
    }
}

int PanelRowY(PanelRow row, int unit) {
    int top = Layout().PanelTop;
    return row == ROW_CURRENT ? top + 2 * unit : top + TruncatedProduct(3.15, unit);
}

int PanelLabelEndX(int button) {
    return Layout().MiddlePanelX / 2 + PanelLeft(button);
}

int MovementRowY() {
    return Layout().MovementTop + 2 * Layout().RowUnit;
}

int MovementLabelEndX(MovementCell cell) {
    const ScreenLayout &layout = Layout();
    int column = layout.MiddlePanelX;
    switch (cell) {
    case CELL_POSITION:
        return (layout.TextAreaWidth / 3) / 2;
    case CELL_CHANGE:
        return column / 2 + column;
    default:
        return column / 2 + layout.RightPanelX;
    }
}

int BarOriginOf(int changeLabelX) {
    return changeLabelX - Layout().ClientWidth / 60;
}

int FrameRightX() {
    return Layout().ClientWidth - 3;
}

int ColumnEdgeX(int column) {
    return (column * Layout().ClientWidth) / 3;
}

RECT IconRectOf() {
    RECT icon;
    int left = Layout().TextAreaWidth / 2 - ICON_SIZE / 2;
    int top = 4 * Layout().RowUnit - 8;
    SetRect(&icon, left, top, left + ICON_SIZE, top + ICON_SIZE);
    return icon;
}

int PanelLeft(int button) {
    const ScreenLayout &layout = Layout();
    const int lefts[BUTTON_COUNT] = {layout.LeftPanelX, layout.MiddlePanelX, layout.RightPanelX};
    return lefts[button];
}

RECT PanelRect(int button) {
    const ScreenLayout &layout = Layout();
    const int rights[BUTTON_COUNT] = {layout.MiddlePanelX, layout.RightPanelX, layout.ClientWidth};
    RECT panel;
    SetRect(&panel, PanelLeft(button), layout.PanelTop, rights[button], layout.PanelBottom);
    return panel;
}

PanelPlaces PressPlaces(int button) {
    const ScreenLayout &layout = Layout();
    int unit = RowUnitOf(layout.ClientHeight);
    int column = layout.ClientWidth / 3;
    int left = PanelLeft(button);
    PanelPlaces places;
    places.ArrowX = left + TruncatedProduct(0.8, column);
    places.ArrowBottom = layout.PanelTop + unit;
    places.ValueX = left + column / 2;
    places.CurrentY = PanelRowY(ROW_CURRENT, unit);
    places.LeastY = PanelRowY(ROW_LEAST, unit);
    places.SpinnerX = left + (column / 2 - layout.ClientWidth / 80);
    places.SpinnerY = layout.PanelTop + 7 * unit;
    return places;
}

POINT ReleaseArrowPlace(int button) {
    const ScreenLayout &layout = Layout();
    POINT bottom = {TruncatedProduct(0.8, layout.MiddlePanelX) + PanelLeft(button),
                    layout.PanelTop + layout.RowUnit};
    return bottom;
}

int MovementValueX(MovementCell cell) {
    const ScreenLayout &layout = Layout();
    const int lefts[3] = {0, layout.MiddlePanelX, layout.RightPanelX};
    return (layout.ClientWidth / 3) / 2 + lefts[cell];
}

POINT BarCorner() {
    const ScreenLayout &layout = Layout();
    POINT corner = {layout.BarOriginX, layout.MovementTop + 5 * layout.RowUnit - 10};
    return corner;
}

int BarMaximum() {
    return (4 * Layout().ClientHeight) / ROWS;
}
