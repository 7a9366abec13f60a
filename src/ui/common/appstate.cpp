#include "ui/common/appstate.h"

namespace fenpai {

void AppState::logIn(const QString &userName)
{
    m_userName = userName;
    m_loggedIn = true;
    emit loginChanged(true);
}

void AppState::logOut()
{
    m_loggedIn = false;
    emit loginChanged(false);
}

} // namespace fenpai
