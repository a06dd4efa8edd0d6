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

// The dialog lists its folder in the background and judges a typed name against
// what it has listed so far; a person sees the files appear before typing.
void waitForListing(QFileDialog *dialog)
{
    const auto *view = dialog->findChild<QListView *>(QStringLiteral("listView"));
    QString patterns = dialog->selectedNameFilter().section(u'(', -1);
    patterns.chop(1);
    const qsizetype files = QDir(dialog->directory().absolutePath())
                                .entryList(patterns.split(u' '),
                                           QDir::AllEntries | QDir::NoDotAndDotDot | QDir::AllDirs)
                                .size();
    // Not an error if it never gets there: the dialog then judges the name itself.
    const bool listed =
        QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) >= files; }, 3000);
    Q_UNUSED(listed);
}

} // namespace

ModalWatcher::Answer lookAtFileDialog(FileDialogSeen *seen, ModalWatcher::Answer then)
{
    return {[seen, then = then.act](QWidget *modal) {
                QFileDialog *dialog = asFileDialog(modal);
                auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
                seen->seen = true;
                seen->title = dialog->windowTitle();
                seen->folder = dialog->directory().absolutePath();
                seen->proposedName =
                    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->text();
                for (int i = 0; i < combo->count(); ++i)
                    seen->filters.append(combo->itemText(i));
                seen->selectedFilter = combo->currentText();
                seen->acceptMode = dialog->acceptMode();
                then(dialog);
            },
            &QFileDialog::staticMetaObject};
}

ModalWatcher::Answer typeFileName(const QString &name)
{
    return {[name](QWidget *modal) {
                auto *edit =
                    asFileDialog(modal)->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
                // The completer's list comes up whenever the folder finishes loading, even
                // after the last key, and then takes the Return for itself. A person would
                // wait for it; the test does without it.
                edit->setCompleter(nullptr);
                waitForListing(asFileDialog(modal));
                // A person types into the box that has the focus; without it the
                // dialog writes the name of any file its list picks into the box.
                modal->activateWindow();
                edit->setFocus();
                const bool focused = QTest::qWaitFor([edit] { return edit->hasFocus(); }, 3000);
                Q_UNUSED(focused);
                // Put in at once, as a paste would: between single keys the dialog may
                // complete the name on its own when its folder listing arrives.
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
                auto *box = qobject_cast<QMessageBox *>(modal);
                if (!box) {
                    qWarning("expected a message box, got %s", modal->metaObject()->className());
                    modal->close();
                    return;
                }
                if (seen) {
                    seen->seen = true;
                    seen->title = box->windowTitle();
                    seen->text = box->text();
                    seen->icon = box->icon();
                    seen->buttons = box->standardButtons();
                }
                if (QAbstractButton *target = box->button(button))
                    QTest::mouseClick(target, Qt::LeftButton);
                else
                    box->close();
            },
            &QMessageBox::staticMetaObject};
}

bool hasSymbolicLinks()
{
#ifdef Q_OS_WIN
    return false;
#else
    return true;
#endif
}
