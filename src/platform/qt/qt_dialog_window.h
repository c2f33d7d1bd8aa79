#pragma once
// A dialog window built from a form's layout table: one widget per row, bound to the row's
// control model in both directions.
#include <QWidget>
#include <map>
#include <string>
#include <vector>

#include "platform/ui/dialog_geometry.h"
#include "platform/ui/form.h"
#include "platform/ui/layout.h"

namespace mv::qt {

class DialogWindow : public QWidget {
public:
    explicit DialogWindow(Form& form);
    ~DialogWindow() override;

    // The widget that shows a row of the layout, by the row's name; null when not built.
    QWidget* widget(const std::string& name) const;
    // Moves the focus to the first control of the tab order that can take it.
    void focusFirst();
    // Applies the form's caption and position.
    void syncFromForm();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void build(const Layout& layout);
    QWidget* makeWidget(const LayoutItem& item, QWidget* parent);
    QWidget* parentFor(const LayoutItem& item) const;
    QRect pixels(const LayoutItem& item) const;
    QFont fontFor(const LayoutItem& item) const;
    void bindTabStrip(const LayoutItem& item, QWidget* strip);

    Form& form_;
    Units units_;
    std::map<std::string, QWidget*> widgets_;
    std::map<std::string, QWidget*> focusTargets_;  // rows whose focus goes to an inner widget
    std::map<std::string, std::vector<QWidget*>> pages_;  // tab strip name -> its page panels
    std::vector<QWidget*> tabOrder_;
};

}  // namespace mv::qt
