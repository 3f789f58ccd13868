#pragma once

#include <QDialog>

// The modal window for the link tag.
class TLinkForm : public QDialog {
    Q_OBJECT
public:
    explicit TLinkForm(QWidget* parent = nullptr);
};
