// Command ids of the main frame's menus, tool bar and the device tree's context menu.
#pragma once

namespace nms {

enum CommandId : int {
    ID_FILE_OPEN = 57601,
    ID_SAVE_DEVICES = 32803,
    ID_SAVE_DEVICES_AS = 32804,
    ID_APP_EXIT = 57665,
    ID_ADD_FREQ_NODE = 32771,
    ID_ADD_DEVICE = 32772,
    ID_EDIT_DEVICE = 32775,
    ID_DELETE_DEVICE = 32776,
    ID_SAVE_CONFIG = 32795,
    ID_RESTORE_FACTORY = 32782,
    ID_RELOAD_CONFIG = 32812,
    ID_IMPORT_CONFIG = 32794,
    ID_EXPORT_CONFIG = 32805,
    ID_USER_SETTING = 32798,
    ID_APP_ABOUT = 57664,
    ID_SYSTEM_SETUP = 32797,  // no menu item or button sends these two
    ID_ALL_CONFIG = 32815,
    // The device tree's context menu; forwarded to the frame as the commands above.
    ID_TREE_ADD_FREQ_NODE = 32792,
    ID_TREE_ADD_DEVICE = 32793,
    ID_TREE_EDIT_DEVICE = 32788,
    ID_TREE_DELETE_DEVICE = 32789,
};

}  // namespace nms
