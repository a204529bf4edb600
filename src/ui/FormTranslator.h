#pragma once

#include "lang/LanguageLoader.h"
#include "lang/LanguageTexts.h"

#include <QString>

#include <string>

class QObject;
class QWidget;

namespace tern::ui {

// Form translation over Qt's object tree. A component is a QObject: its Name is objectName(), the
// components it owns are children() in their order (widgets, layouts, and the QActions created with
// the form as their parent), and its string properties are the readable and writable QString
// properties of its meta-object (text, windowTitle, toolTip, statusTip, whatsThis, placeholderText,
// title, ...; objectName is the Name, never a text).
//
// Markers in a form's design:
// - a string property, list or combo item, or tree/table column caption beginning with "[": replaced
//   by the text of the key between the first and the last character (section: the form's Name);
// - a Name beginning with "_": the component's caption becomes the text of the Name without its
//   first character. The caption is the "text" property where the component has a writable one
//   (buttons, labels, actions), else "title" (group boxes, menus), else "windowTitle" for a window.

// The key of a marker: the text without its first and its last character ("" for one character).
QString MarkerKey(const QString& marker);

// The property that plays the caption of `component`, or "" when it has none.
QByteArray CaptionPropertyName(const QObject* component);

// Translates `component` and everything it owns from `loader`'s file, in the section of the form the
// loader was last applied with. Does nothing while the loader has no form or no parsed file.
void TranslateComponent(const TLanguageLoader& loader, QObject* component);

// The face a plain form gets: the platform's default dialog face.
QString DefaultDialogFace();

// Gives `form` the default dialog face, keeping its point size, when its class derives directly from
// QDialog or QWidget; forms of further derived classes keep their font.
void ApplyDialogFont(QWidget* form);

// Re-parses the current language file `currentFileName` of `texts`; with a form, translates it (its
// Name becomes the section of its keys) and applies the dialog font; a dialog then grows to fit its
// texts (GrowToFitTexts).
void TranslateForm(LanguageTexts& texts, const std::string& currentFileName, QWidget* formOrNull);

} // namespace tern::ui
