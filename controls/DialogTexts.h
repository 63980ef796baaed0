#pragma once
// Puts the active language file's texts on a dialog: IDD<template>_Title
// becomes its window title, IDS_<id> the caption of each of its controls with
// that id. Keys that are missing or empty leave the template captions.
class QWidget;

namespace orv {

// Relabels `dialog` and its controls: the widgets inside it, group boxes and
// containers looked through, but not nested dialogs and pages (widgets that
// take messages), which get their own call. Edit controls keep
// their content whatever the file says. A shown control is hidden while its
// caption changes and shown again, so that a skinned control repaints whole;
// a hidden one stays hidden.
void ApplyDialogTexts(QWidget* dialog, int templateId);

}  // namespace orv
