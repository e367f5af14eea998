#pragma once

#include "search/domnode.h"

#include <QList>
#include <QPair>
#include <QString>

namespace harvly {

// What logging in on a site's login page takes: the fields to fill and the button to press.
struct LoginPlan {
    QList<QPair<QList<int>, QString>> fills; // element path, value
    QList<int> submit;                       // empty: nothing to press
};

// Account login: fields named userid/user/username/useruid get the account, pass/password/
// passwd the password, in document order; the first submit input after two filled fields is
// pressed.
LoginPlan PlanAccountLogin(const DomDocument &page, const QString &account,
                           const QString &password);
// Address login: the element with id "submitip".
LoginPlan PlanAddressLogin(const DomDocument &page);

} // namespace harvly
