#pragma once

// The HTML mini-language of cells, hints and drop-down texts: rendering
// (measure, paint, hit-test) and the text routines that work on it without
// drawing. Text positions are 0-based here.

#include "platform/Graphics.h"

#include <QString>

class QWidget;
class TPictureContainer;
class THTMLPictureCache;

// ---------------------------------------------------------------------------
// Rendering
// ---------------------------------------------------------------------------

struct THTMLDrawOptions
{
    // Right-to-left reading: left and right alignment swap.
    bool RightToLeft = false;
    // The window whose visual style draws form controls.
    const QWidget* Window = nullptr;
    TPictureContainer* PictureContainer = nullptr;
    // Pictures by address; new addresses are added to it.
    THTMLPictureCache* PictureCache = nullptr;
    const platform::TImageList* Images = nullptr;
    platform::TColor ShadowColor = platform::clGray;
    int ShadowOffset = 0;
    platform::TColor AnchorColor = platform::clBlue;
    // Text and background colour of the hovered anchor; clNone for none.
    platform::TColor AnchorHoverColor = platform::clNone;
    platform::TColor AnchorHoverBackColor = platform::clNone;
    // Anchors are underlined only while hovered.
    bool AnchorUnderlineOnHover = false;
    // 0-based index of the hovered and of the focused anchor, -1 for none. The
    // focused one gets a focus rectangle.
    int HoverAnchor = -1;
    int FocusAnchor = -1;
    // Image-list pictures are stretched by it when it is not 0.
    double PictureScale = 0;
    // A form control is being pressed (buttons under the hit point draw pressed).
    bool ControlPressed = false;
    // Off: one line, ended with an ellipsis when it does not fit.
    bool WordWrap = true;
    // The blink phase: off draws blinking text in the background colour.
    bool BlinkOn = true;
    // Colour tags are ignored (selected cells keep their colours).
    bool KeepColors = false;
    bool MeasureOnly = false;
    bool HitTest = false;
    platform::TPoint HitPoint;
};

struct THTMLDrawResult
{
    // Under the hit point: an anchor's target and title ("ctrl" for a form
    // control), its rectangle and number (from 1; 0 for none).
    QString AnchorTarget;
    QString AnchorTitle;
    platform::TRect AnchorRect;
    int AnchorNumber = 0;
    // The form control under the hit point.
    platform::TRect ControlRect;
    QString ControlType;
    QString ControlValue;
    QString ControlID;
    // The target of the focused anchor.
    QString FocusAnchorTarget;
    // Tags removed, line breaks as CR.
    QString PlainText;
    // The widest line and the total height (at least one line of "gh").
    int Width = 0;
    int Height = 0;
};

// Measures, paints or hit-tests the mark-up text in rect. True when the hit
// point lies on an anchor's text, a form control or a picture. The canvas's
// pen, brush and font are as they were afterwards.
bool DrawHTMLText(platform::TCanvas& canvas, const QString& text, const platform::TRect& rect,
                  const THTMLDrawOptions& options, THTMLDrawResult& result);

// The colours of the <HI> tag, shared by every renderer of the program.
void StoreHighlightColors(platform::TColor background, platform::TColor text);
platform::TColor HighlightBackColor();
platform::TColor HighlightTextColor();

// "#RRGGBB", or a colour name such as "clRed" or "clBtnFace" (any case);
// black for anything else.
platform::TColor HTMLColor(const QString& value);

// ---------------------------------------------------------------------------
// Text routines
// ---------------------------------------------------------------------------

// "&lt;", "&gt;", "&amp;" and "&quot;" (and with accents the accented
// letters' entities, exact case) become their characters, in one pass.
QString DecodeHTMLEntities(const QString& text, bool accents);
// "&", the double quote, "<" and ">" (and with accents the accented letters)
// become entities, in one pass.
QString EncodeHTMLEntities(const QString& text, bool accents);
// Every blank becomes "&nbsp;".
QString EncodeHTMLSpaces(const QString& text);
// "<BR>" and "<HR>" (any case) become CR LF, other tags go; a "<" with no ">"
// after it keeps the rest as it is.
QString StripHTMLTags(const QString& text);
// Every match of search in the text outside tags wrapped in <tag> and </tag>.
QString MarkHTMLMatches(const QString& text, const QString& search, const QString& tag, bool caseSensitive);
// The text without <tag> and </tag> (any case), "&lt;" and "&gt;" back to "<" and ">".
QString UnmarkHTMLTag(const QString& text, const QString& tag);

// Inline form controls: <CONTROL TYPE="EDIT" ID="name" VALUE="..." ...>.
struct THTMLControlTag
{
    QString Type; // upper-cased
    QString ID;
    QString MaxLen;
    QString Prop;  // entity-decoded
    QString Height;
    QString Width;
    QString Value; // entity-decoded
};
// Absent attributes are empty.
THTMLControlTag ParseHTMLControlTag(const QString& tag);
bool HasHTMLControls(const QString& text);
// The ID of the first control after the one with that ID (after none when it
// is empty) that is not a BUTTON, CHECK or RADIO; empty when there is none.
QString NextHTMLEditControl(const QString& text, const QString& id);
// The VALUE of the first control with that ID; false when there is none.
bool HTMLControlValue(const QString& text, const QString& id, QString& value);
QString HTMLControlProp(const QString& text, const QString& id);
// MAXLEN as a number; 0 when there is none or it is no number.
int HTMLControlMaxLen(const QString& text, const QString& id);
// Rewrites the tag of the first control with that ID with the new value
// (keeping its type, width, height, prop and maximum length); false and
// the text unchanged when there is none.
bool ReplaceHTMLControlValue(QString& text, const QString& id, const QString& value);
// Every RADIO control's VALUE becomes "FALSE".
QString ClearHTMLRadioControls(const QString& text);
