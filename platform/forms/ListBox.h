#pragma once
// A single-selection list box (VB's ListBox), rows in the order added (no sorting).
//
// ListIndex is the selected row, -1 for none. Click is raised when it changes, by code or by the
// user; not when it moves only because rows were added or removed before it: AddItem before the
// selected row moves the selection down with its row, RemoveItem of a row before it moves it up,
// and removing the selected row, or Clear, leaves no row selected.
//
// Errors as VB raises them, each a platform::Failure with its number: AddItem at an index beyond
// the rows, or RemoveItem of a row that does not exist, 5 (invalid procedure call); ListIndex or
// TopIndex outside the rows, 380 (invalid property value); writing List or ItemData, or reading
// ItemData, of a row that does not exist, 381 (invalid property array index). Reading List of a
// row that does not exist gives empty text, as in VB.
//
// The user selects a row (userSelect), presses a mouse button over the box (MouseDown, without
// selecting: userSelect stands for the click on a row), or moves the selection with Up, Down,
// Home, End, PageUp and PageDown.
//
// Painted in the classic look: a sunken two-pixel 3D edge around BackColor (by default the window
// colour), one row a line high from TopIndex down, each row's text two pixels from the edge in
// ForeColor (grey text when disabled); the selected row in the highlight colours, and with the
// focus a dotted focus frame round it (round the first row shown when none is selected). Rows
// beyond the box are cut off; there is no scroll bar.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/forms/InputControl.h"

namespace forms {

class ListBox : public InputControl {
public:
    ListBox(Form& form, std::string name);

    int ListCount() const { return static_cast<int>(rows_.size()); }
    const std::string& List(int index) const;
    void setList(int index, std::string text);
    std::int32_t ItemData(int index) const;
    void setItemData(int index, std::int32_t data);

    int ListIndex() const { return listIndex_; }
    void setListIndex(int index);
    // The row most recently added, -1 after a removal or Clear.
    int NewIndex() const { return newIndex_; }
    // The first row shown.
    int TopIndex() const { return topIndex_; }
    void setTopIndex(int index);

    // Adds a row at the end, or before the row at `index` (0..ListCount()).
    void AddItem(std::string item);
    void AddItem(std::string item, int index);
    void RemoveItem(int index);
    void Clear();

    // The user clicks row `index`; -1 (the runner's "none") clears the selection. Indices beyond
    // the rows are ignored, as a click below the last row is.
    void userSelect(int index);
    // The row under the pixel row y, for the control's box: -1 on the edge or below the last row.
    // A press of the left button there selects it (after MouseDown, as userSelect follows it).
    int rowAt(int y, const draw::Rect& box) const;
    // Where row `index` stands for the control's box, whether or not there is such a row yet; none
    // when it is above TopIndex or not wholly inside the box's edge (it would have to be scrolled to).
    std::optional<draw::Rect> rowBounds(int index, const draw::Rect& box) const;

    void paint(draw::Surface& surface, draw::Point origin) const override;

protected:
    void onKeyDown(int keyCode, int shift) override;
    // A click outside the rows raises nothing: Click belongs to selection changes.
    void onUserClick() override {}

private:
    using InputControl::Caption;
    using InputControl::setCaption;

    struct Row {
        std::string text;
        std::int32_t data = 0;
    };

    void checkRow(int index, int number, const char* message) const;
    // How many whole rows the box shows (at least one).
    int visibleRows() const;
    // Scrolls so that the selected row shows.
    void revealSelection();

    std::vector<Row> rows_;
    int listIndex_ = -1;
    int newIndex_ = -1;
    int topIndex_ = 0;
};

} // namespace forms
