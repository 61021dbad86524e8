# The program's pictures (SVG), built into the GUI library under ":/art/".
qt_add_resources(swgui "art" PREFIX "/art" BASE art FILES
    art/AA.svg
    art/toolbar/add.svg
    art/toolbar/activate.svg
    art/toolbar/edit.svg
    art/toolbar/remove.svg
    art/toolbar/run.svg
    art/toolbar/refresh.svg
    art/toolbar/folderlist.svg
    art/toolbar/details.svg
    art/toolbar/send.svg
    art/toolbar/backup.svg
    art/tree/all_users.svg
    art/tree/local_user.svg
    art/tree/startmenu.svg
    art/tree/reg.svg
    art/tree/services.svg
    art/tree/link.svg
    art/tree/folder.svg
    art/program/program_small.svg
    art/program/program_unknown.svg
    art/program/program_missing.svg
    art/panel/normal.svg
    art/panel/risk.svg
    art/panel/weblink.svg
    art/panel/background.svg
)
