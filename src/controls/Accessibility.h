#pragma once

class QLabel;
class QWidget;
class TShape;

/// What screen readers are told of the program's windows beyond what Qt
/// tells them by itself: decorations left out, the swatch as a button, link
/// labels as links, captions tied to the values they stand before.
namespace accessibility {

/// Installs the program's accessible interfaces; call once the application
/// object exists, before the first window is shown (later calls do nothing).
void install();

/// Leaves widget out of what screen readers read: a decoration, or a
/// holder of pictures that is never shown.
void hide(QWidget* widget);

/// caption names value for screen readers ("Hexadecimal: " before
/// "#FF8000"), as a label and what it labels, without making the caption a
/// buddy (which would take an '&' in its text for a mnemonic). A link label
/// reads as a link that can be opened.
void setLabel(QLabel* caption, QLabel* value);

/// shape reads as a button: pressing it is a click on it.
void setButton(TShape* shape);

} // namespace accessibility
