#pragma once

#include <QObject>
#include <QString>

class QMimeData;
class QWidget;

// Takes a file dragged from a file manager onto a window, over any of its widgets, for opening:
// the editors and fields that would insert the file's address as text never see it. Other drags
// (text) reach the widgets as before. Of several files, the first is taken.
class FileDrops : public QObject {
    Q_OBJECT
public:
    explicit FileDrops(QWidget* window);

signals:
    // Reported from the event loop once the drop is over, so that the drag source is not kept
    // waiting while the file opens.
    void fileDropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* window_;
};

// The first local file among the dragged addresses; empty when there is none.
QString firstLocalFile(const QMimeData* data);
