#include "dialoganswers.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTest>

namespace {

QFileDialog *asFileDialog(QWidget *modal)
{
    auto *dialog = qobject_cast<QFileDialog *>(modal);
    if (!dialog)
        qFatal("expected a file dialog, got %s", modal->metaObject()->className());
    return dialog;
}

// The dialog judges a typed name against what it has listed so far; a person sees the files
// appear before typing. If it never gets there, the dialog judges the name itself.
void waitForListing(QFileDialog *dialog)
{
    const auto *view = dialog->findChild<QListView *>("listView");
    QString patterns = dialog->selectedNameFilter().section(u'(', -1);
    patterns.chop(1);
    const qsizetype files = QDir(dialog->directory().absolutePath())
                                .entryList(patterns.split(u' '),
                                           QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs)
                                .size();
    (void)QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= files; },
                          3000);
}

} // namespace

ModalWatcher::Answer lookAtFileDialog(FileDialogSeen *seen, ModalWatcher::Answer then)
{
    return {[seen, then = then.act](QWidget *modal) {
                QFileDialog *dialog = asFileDialog(modal);
                auto *combo = dialog->findChild<QComboBox *>("fileTypeCombo");
                *seen = {true,
                         dialog->windowTitle(),
                         dialog->directory().absolutePath(),
                         dialog->findChild<QLineEdit *>("fileNameEdit")->text(),
                         combo->currentText(),
                         {},
                         dialog->acceptMode()};
                for (int i = 0; i < combo->count(); ++i)
                    seen->filters.append(combo->itemText(i));
                then(dialog);
            },
            &QFileDialog::staticMetaObject};
}

ModalWatcher::Answer typeFileName(const QString &name)
{
    return {[name](QWidget *modal) {
                auto *edit = asFileDialog(modal)->findChild<QLineEdit *>("fileNameEdit");
                // The completer's list pops up whenever the folder finishes loading and
                // then takes the Return for itself; a person would wait for it.
                edit->setCompleter(nullptr);
                waitForListing(asFileDialog(modal));
                // Without the focus in the box, the dialog takes the name of whatever
                // file its list picks instead of the one typed.
                modal->activateWindow();
                edit->setFocus();
                (void)QTest::qWaitFor([edit] { return edit->hasFocus(); }, 3000);
                // At once, as a paste: between single keys the dialog may complete the
                // name on its own when its listing arrives.
                edit->selectAll();
                edit->insert(name);
                QTest::keyClick(edit, Qt::Key_Return);
            },
            &QFileDialog::staticMetaObject};
}

ModalWatcher::Answer cancelFileDialog()
{
    return {[](QWidget *modal) {
                auto *buttons = asFileDialog(modal)->findChild<QDialogButtonBox *>();
                QTest::mouseClick(buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
            },
            &QFileDialog::staticMetaObject};
}

ModalWatcher::Answer pressButton(QMessageBox::StandardButton button, MessageBoxSeen *seen)
{
    return {[button, seen](QWidget *modal) {
                auto *box = static_cast<QMessageBox *>(modal); // the answer's kind
                if (seen)
                    *seen = {true, box->windowTitle(), box->text(), box->icon(),
                             box->standardButtons()};
                if (QAbstractButton *target = box->button(button))
                    QTest::mouseClick(target, Qt::LeftButton);
                else
                    box->close();
            },
            &QMessageBox::staticMetaObject};
}
