#pragma once
// What the engineer sees of a window, checked without restating its layout: every text can be
// read whole, every control lies inside its window, the window fits a small screen, and every
// caption and hint comes from the text table (so a language switch reaches it).
#include "base/TextTable.h"
#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QGroupBox>
#include <QLabel>
#include <QRegularExpression>
#include <QStringList>
#include <QTabWidget>
#include <QWidget>

// The smallest screen the windows are made for.
inline constexpr QSize smallestScreen{1366, 768};

// Whether the text of a shown label or button can be read whole: the area of the control that
// its window shows (parents and scroll areas clip it) is as wide as the text needs.
inline bool textFits(const QWidget* control)
{
    const int shownWidth = control->visibleRegion().boundingRect().width();
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap())
            return label->heightForWidth(label->width()) <= label->height() && shownWidth == label->width();
        return shownWidth >= label->minimumSizeHint().width();
    }
    return shownWidth >= control->minimumSizeHint().width();
}

// The caption a label or button shows; empty for other controls.
inline QString captionOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return button->text();
    return {};
}

// The shown controls of `window` itself (not of the windows it owns).
inline QList<const QWidget*> shownControls(const QWidget* window)
{
    QList<const QWidget*> shown;
    for (const QWidget* control : window->findChildren<QWidget*>())
        if (control->isVisible() && control->window() == window)
            shown << control;
    return shown;
}

// Whether `control` sits in the scrolled contents of a scroll area (which may reach past the
// window: the area shows a part of it).
inline bool insideScrollArea(const QWidget* control, const QWidget* window)
{
    for (const QWidget* w = control->parentWidget(); w && w != window; w = w->parentWidget())
        if (const auto* area = qobject_cast<const QAbstractScrollArea*>(w->parentWidget()); area && area->viewport() == w)
            return true;
    return false;
}

// What the engineer could not see of `window` as it is shown now, one line a fault: a label or
// button whose text is cut off, a control that reaches past its window, a window larger than
// the smallest screen. Empty when all can be seen.
inline QStringList unseenParts(const QWidget* window)
{
    QStringList faults;
    const QSize frame = window->frameGeometry().size();
    if (frame.width() > smallestScreen.width() || frame.height() > smallestScreen.height())
        faults << QStringLiteral("the window is %1x%2, larger than the screen").arg(frame.width()).arg(frame.height());
    for (const QWidget* control : shownControls(window)) {
        const QString caption = captionOf(control);
        if (!caption.isEmpty() && !textFits(control))
            faults << QStringLiteral("cut off: %1: %2").arg(control->objectName(), caption);
        const QRect area(control->mapTo(window, QPoint(0, 0)), control->size());
        if (!window->rect().contains(area) && !insideScrollArea(control, window))
            faults << QStringLiteral("outside the window: %1").arg(control->objectName());
    }
    return faults;
}

// Marks every text of `texts` with its number ("«402»Cancel"), placeholders kept, so that a
// window's texts show where they come from.
inline void markTexts(TextTable& texts)
{
    for (int i = 0; i < TextTable::size; ++i)
        texts.set(i, u'\u00AB' + QString::number(i) + u'\u00BB' + TextTable::builtinText(i));
}

// After markTexts: the window title, captions, page and group titles and hints of `window`
// that come from no text of the table, as "name: text". Names that stay as they are in every
// language (`ownNames`: the program's, the configuration's) and texts without a letter are
// not asked to.
inline QStringList textsNotFromTheTable(const QWidget* window, const QStringList& ownNames = {})
{
    static const QRegularExpression mark(QStringLiteral("\u00AB\\d+\u00BB"));
    static const QRegularExpression letter(QStringLiteral("\\p{L}"));
    QStringList foreign;
    const auto check = [&](const QWidget* w, const QString& what, const QString& text) {
        if (text.contains(letter) && !text.contains(mark) && !ownNames.contains(text))
            foreign << QStringLiteral("%1 %2: %3").arg(w->objectName(), what, text);
    };
    check(window, QStringLiteral("title"), window->windowTitle());
    check(window, QStringLiteral("hint"), window->toolTip());
    for (const QWidget* control : shownControls(window)) {
        check(control, QStringLiteral("caption"), captionOf(control));
        check(control, QStringLiteral("hint"), control->toolTip());
        if (const auto* group = qobject_cast<const QGroupBox*>(control))
            check(control, QStringLiteral("title"), group->title());
        if (const auto* tabs = qobject_cast<const QTabWidget*>(control))
            for (int i = 0; i < tabs->count(); ++i)
                check(control, QStringLiteral("page %1").arg(i), tabs->tabText(i));
    }
    return foreign;
}
