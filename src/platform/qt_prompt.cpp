#include "platform/qt_prompt.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace nms {
namespace {

// The application's name: the caption of every box that names none.
constexpr char kAppTitle[] = "Velmora";

QString QtFilter(const std::string& filter) {
    // "Text (*.txt)|*.txt|All (*.*)|*.*" -> "Text (*.txt);;All (*.*)"
    const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList names;
    for (int i = 0; i < parts.size(); i += 2)
        names << parts[i];
    return names.join(";;");
}

}  // namespace

int QtPrompt::Show(const PromptRequest& request) {
    QWidget* parent = QApplication::activeWindow();
    QMessageBox box(parent);
    box.setWindowTitle(request.caption.empty() ? QString::fromLatin1(kAppTitle)
                                               : QString::fromStdString(request.caption));
    box.setText(QString::fromStdString(request.text));
    switch (request.flags & 0xF0) {
        case MB_ICONERROR:
            box.setIcon(QMessageBox::Critical);
            break;
        case MB_ICONQUESTION:
            box.setIcon(QMessageBox::Question);
            break;
        case MB_ICONWARNING:
            box.setIcon(QMessageBox::Warning);
            break;
        case MB_ICONINFORMATION:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::Warning);
            break;
    }
    const unsigned buttons = request.flags & 0xF;
    const bool second = (request.flags & MB_DEFBUTTON2) != 0;
    if (buttons == MB_OKCANCEL) {
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        box.setDefaultButton(second ? QMessageBox::Cancel : QMessageBox::Ok);
    } else if (buttons == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
    } else if (buttons == MB_YESNOCANCEL) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        box.setDefaultButton(second ? QMessageBox::No : QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    switch (box.exec()) {
        case QMessageBox::Ok:
            return IDOK;
        case QMessageBox::Yes:
            return IDYES;
        case QMessageBox::No:
            return IDNO;
        default:
            return IDCANCEL;
    }
}

std::string QtPrompt::ChooseFile(const FileRequest& request) {
    QWidget* parent = QApplication::activeWindow();
    QFileDialog dialog(parent, QString::fromStdString(request.caption),
                       QString::fromStdString(request.fileName), QtFilter(request.filter));
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    if (!request.defaultExt.empty())
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().front().toStdString();
}

}  // namespace nms
