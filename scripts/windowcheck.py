#!/usr/bin/python3
"""Reads the running window through the accessibility bus, as a screen reader would, and checks
what the window promises: the start page's links, names and next steps, the import menu, the report titles entry, 刷新, the toolbars' names,
tooltips and enabled states with and without a document, and a dialog with named parts.

Run by scripts/windowcheck.sh, which starts the program under Xvfb, openbox and a D-Bus session.
Prints one line per check and exits 1 when any fails."""

import subprocess
import sys
import time

import pyatspi

failures = []


def check(ok, what):
    print(("通过  " if ok else "失败  ") + what)
    if not ok:
        failures.append(what)


def children(node):
    return [node.getChildAtIndex(i) for i in range(node.childCount)]


def walk(node):
    yield node
    for child in children(node):
        yield from walk(child)


def enabled(node):
    return node.getState().contains(pyatspi.STATE_ENABLED)


def find(node, role, name=None):
    for n in walk(node):
        if n.getRoleName() == role and (name is None or n.name == name):
            return n
    return None


def application(timeout=30):
    end = time.time() + timeout
    while time.time() < end:
        for app in pyatspi.Registry.getDesktop(0):
            if app is not None and app.name in ("分班排考", "fenpai"):
                if find(app, "menu bar") is not None:
                    return app
        time.sleep(0.5)
    return None


def menu_items(menu_item):
    """The entries of the popup menu below a menu bar item or submenu item."""
    popup = next((c for c in children(menu_item) if c.getRoleName() == "popup menu"), None)
    if popup is None:
        return []
    return [c for c in children(popup) if c.getRoleName() in ("menu item", "menu")]


def menu_path(app, *names):
    node = find(find(app, "menu bar"), "menu item", names[0])
    for name in names[1:]:
        if node is None:
            return None
        node = next((c for c in menu_items(node) if c.name == name), None)
    return node


def press(node):
    action = node.queryAction()
    for i in range(action.nActions):
        if action.getName(i) in ("press", "click", "toggle", "activate", "Press"):
            action.doAction(i)
            return
    action.doAction(0)


def keys(*names):
    for name in names:
        subprocess.run(["xdotool", "key", "--delay", "150", name], check=True)
        time.sleep(0.6)


def toolbar_parts(app):
    parts = []
    for bar in walk(app):
        if bar.getRoleName() != "tool bar":
            continue
        for part in children(bar):
            if part.getRoleName() in ("push button", "toggle button", "check box", "combo box"):
                parts.append((bar.name, part))
    return parts


def command_states(app):
    bar = find(app, "tool bar", "命令")
    return {b.name: enabled(b) for b in children(bar) if b.getRoleName() == "push button"}


def start_page_links(app):
    page = next((n for n in walk(app) if n.name == "开始"), None)
    check(page is not None, "没有文档时显示开始页（无障碍名称“开始”）")
    return {n.name: n for n in walk(page) if n.getRoleName() == "push button"} if page else {}


def check_start_page(app):
    """The demo intake is imported and nobody is logged in."""
    links = start_page_links(app)
    want = ["登录…", "导入新生分班数据…", "分班…", "新班统计", "导入考场编排数据…", "编排…",
            "第一次使用？打开示例数据", "使用说明：分班"]
    missing = [w for w in want if w not in links]
    check(not missing, "开始页的链接都有名称" + ("" if not missing else "，缺：" + "、".join(missing)))
    if missing:
        return
    check(enabled(links["分班…"]) and not enabled(links["新班统计"]) and not enabled(links["编排…"]),
          "开始页：有分班数据时 分班… 可用，新班统计 和 编排… 不可用")
    following = sorted(n for n, link in links.items() if link.description == "下一步")
    check(following == sorted(["登录…", "分班…", "导入考场编排数据…"]),
          "开始页的下一步是 登录…、分班…、导入考场编排数据…：%s" % following)


def main():
    app = application()
    check(app is not None, "窗口出现在无障碍总线上（分班排考）")
    if app is None:
        return 1

    imports = menu_path(app, "文件(F)", "导入数据(D)")
    names = [i.name for i in menu_items(imports)] if imports else []
    check(names == ["新生分班数据(F)", "考场编排数据(H)", "成绩数据(C)"],
          "文件 → 导入数据 列出 新生分班数据、考场编排数据、成绩数据：%s" % names)
    check(all(enabled(i) for i in menu_items(imports)) if imports else False,
          "导入数据 的三项都可用")
    titles = menu_path(app, "工具(T)", "报表标题设置…")
    check(titles is not None and enabled(titles), "工具 → 报表标题设置… 存在且可用")
    refresh = menu_path(app, "视图(V)", "刷新(R)")
    check(refresh is not None, "视图 → 刷新 存在")

    parts = toolbar_parts(app)
    unnamed = ["%s 中的 %s" % (bar, p.getRoleName()) for bar, p in parts if not p.name]
    check(parts and not unnamed, "工具栏的 %d 个按钮和选择框都有名称%s"
          % (len(parts), "" if not unnamed else "，缺：" + "、".join(unnamed)))
    untipped = [p.name or p.getRoleName() for _, p in parts if not p.description]
    check(not untipped, "工具栏的按钮和选择框都有提示" + ("" if not untipped else "，缺：" + "、".join(untipped)))

    check_start_page(app)
    states = command_states(app)
    on = sorted(n for n, e in states.items() if e)
    check(on == sorted(["打开表格文件", "帮助"]), "没有文档时命令工具栏只有 打开表格文件 和 帮助 可用：%s" % on)
    fmt = find(app, "tool bar", "标准")
    # Qt's arrow for the buttons that do not fit works without a document.
    fmt_on = [c.name for c in children(fmt)
              if c.getRoleName() != "filler" and c.name not in ("", "更多按钮") and enabled(c)]
    check(not fmt_on, "没有文档时格式工具栏不可用" + ("" if not fmt_on else "：" + "、".join(fmt_on)))
    save_entry = menu_path(app, "文件(F)", "保存(S)")
    check(save_entry is not None and not enabled(save_entry), "没有文档时 文件 → 保存 不可用，与按钮一致")

    press(menu_path(app, "窗口(W)", "新建窗口(N)"))
    time.sleep(1.5)
    division = next((n for n in walk(app) if n.getRoleName() == "push button" and n.name == "分班…"),
                    None)
    check(division is None or not division.getState().contains(pyatspi.STATE_SHOWING),
          "打开文档后开始页让给文档")
    states = command_states(app)
    off = sorted(n for n, e in states.items() if not e)
    check(not off, "有文档时命令工具栏的按钮都可用" + ("" if not off else "，不可用：" + "、".join(off)))
    fmt_off = [c.name for c in children(fmt) if c.getRoleName() in ("push button", "combo box")
               and not enabled(c)]
    check(not fmt_off, "有文档时格式工具栏可用" + ("" if not fmt_off else "，不可用：" + "、".join(fmt_off)))
    save_entry = menu_path(app, "文件(F)", "保存(S)")
    check(save_entry is not None and enabled(save_entry), "有文档时 文件 → 保存 可用")

    # The file dialog runs modal inside the command: an accessibility action would wait for it to
    # close, so the menu is opened with the keys a user presses.
    keys("alt+f", "d", "c")
    time.sleep(2)
    chooser = find(app, "dialog", "导入数据")
    check(chooser is not None, "文件 → 导入数据 → 成绩数据 打开名为“导入数据”的文件对话框")
    if chooser is not None:
        cancel = next((n for n in walk(chooser)
                       if n.getRoleName() == "push button" and n.name in ("取消", "Cancel")), None)
        check(cancel is not None and enabled(cancel), "文件对话框有可用的 取消 按钮")
        if cancel is not None:
            press(cancel)
            time.sleep(1)

    press(menu_path(app, "文件(F)", "登录(L)..."))
    time.sleep(1.5)
    login = find(app, "dialog", "登录")
    check(login is not None, "文件 → 登录 打开名为“登录”的对话框")
    if login is not None:
        fields = [n for n in walk(login) if n.getRoleName() in ("text", "password text")]
        labels = [n.name for n in walk(login) if n.getRoleName() == "label"]
        buttons = sorted(n.name for n in walk(login) if n.getRoleName() == "push button")
        check(len(fields) == 2 and "用户名称(U):" in labels and "密码(P):" in labels,
              "登录对话框有两个输入框和它们的标签：%s" % labels)
        check(buttons == sorted(["确定", "取消"]) and all(
            enabled(n) for n in walk(login) if n.getRoleName() == "push button"),
              "登录对话框的按钮 确定、取消 可用：%s" % buttons)
        cancel = next(n for n in walk(login) if n.getRoleName() == "push button" and n.name == "取消")
        press(cancel)
        time.sleep(1)
        check(find(app, "dialog", "登录") is None or not find(app, "dialog", "登录").getState().contains(
            pyatspi.STATE_SHOWING), "取消 关闭登录对话框")

    print("%d 项失败" % len(failures) if failures else "全部通过")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
