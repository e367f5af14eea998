#include "loginform.h"

namespace harvly {

LoginPlan PlanAccountLogin(const DomDocument &page, const QString &account, const QString &password)
{
    static const QStringList users = {"userid", "user", "username", "useruid"};
    static const QStringList passwords = {"pass", "password", "passwd"};
    LoginPlan plan;
    int filled = 0;
    for (const DomNode *input : page.elementsByTagName(QStringLiteral("INPUT"))) {
        const QString name = input->name.toLower();
        if (users.contains(name)) {
            plan.fills.append({input->path(), account.trimmed()});
            ++filled;
        } else if (passwords.contains(name)) {
            plan.fills.append({input->path(), password.trimmed()});
            ++filled;
        }
        if (input->type.toLower() == QLatin1String("submit") && filled > 1) {
            plan.submit = input->path();
            break;
        }
    }
    return plan;
}

LoginPlan PlanAddressLogin(const DomDocument &page)
{
    LoginPlan plan;
    if (const DomNode *button = page.elementById(QStringLiteral("submitip"))) {
        plan.submit = button->path();
    }
    return plan;
}

} // namespace harvly
