#pragma once

#include <QObject>

namespace platform {

class Services;

// The program's keyboard rules for every window, applied before a key reaches
// the control that has the focus:
// - Alt with a character key that no menu or control took as its access key
//   types nothing anywhere: it beeps, so that a missed access key never
//   changes a document.
// - Return and Enter press the focused push button, as Space does, without
//   making any button a default button that Return would press from elsewhere.
// Open menus keep their own handling of keys.
class KeyboardRules : public QObject
{
    Q_OBJECT
public:
    explicit KeyboardRules(Services& services, QObject* parent = nullptr);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Services& m_services;
};

} // namespace platform
