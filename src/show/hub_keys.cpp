#include "hub_keys.h"

#include "ui/key_codes.h"

namespace hub_keys {

namespace {

const Entry kTable[] = {
    {vk::letter('H'), false, false, Action::ToggleHelp, "H", "显示或隐藏底部的按键提示条"},
    {vk::F1, false, false, Action::Scoring, "F1", "打开评分界面"},
    {vk::F2, false, false, Action::JudgesShow, "F2", "放映评委介绍（评委照片\\评委介绍\\评委介绍.ppt）"},
    {vk::F3, false, false, Action::Lottery, "F3", "打开抽奖"},
    {vk::Period, false, false, Action::Awards, "句号键 .（带“>”的键）", "进入颁奖界面"},
    {vk::Comma, true, false, Action::Slogan, "逗号键（带“<”的键）", "进入宣传口号界面"},
    {vk::Slash, true, false, Action::ScoresRestored, "/ 键（带“?”的键）", "显示“分数已经成功恢复！”，分数不变"},
    {vk::Escape, false, true, Action::Close, "Esc", "关闭比赛现场，回到主菜单"},
};

QString escaped(const char *text)
{
    return QString::fromUtf8(text).toHtmlEscaped();
}

} // namespace

std::span<const Entry> table()
{
    return kTable;
}

const Entry *find(int key)
{
    for (const Entry &entry : kTable)
        if (entry.key == key)
            return &entry;
    return nullptr;
}

bool acts(const Entry &entry, bool pressed, bool shift)
{
    return entry.onPress == pressed && (shift || !entry.shiftRequired);
}

QString htmlTable()
{
    QString html = QStringLiteral("<table>\n<tr><th>按键</th><th>何时起作用</th><th>作用</th></tr>\n");
    for (const Entry &entry : kTable) {
        const QString key = (entry.shiftRequired ? QStringLiteral("Shift+") : QString()) + escaped(entry.keyName);
        html += QStringLiteral("<tr><td><kbd>%1</kbd></td><td>%2</td><td>%3</td></tr>\n")
                    .arg(key, entry.onPress ? QStringLiteral("按下") : QStringLiteral("松开"), escaped(entry.what));
    }
    return html + QStringLiteral("</table>\n");
}

} // namespace hub_keys
