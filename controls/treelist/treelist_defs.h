#pragma once
// The interface of the "TreeList" window class: a tree view with columns. It answers the
// tree-view messages (item texts are wide strings), its own TLM_* messages, and reports
// to its parent with WM_NOTIFY.
//
// Everything here keeps the numbers the rest of the program uses; application values
// (lParam, compare arguments, auto-edit values) are pointer-sized throughout.

#include "controls/control_defs.h"
#include "platform/core/win_types.h"

// An item handle: 1 upward, 0 = no item. The special values below are recognised in
// both their 32-bit form and sign-extended to 64 bits.
using HTREEITEM = UINT_PTR;

inline constexpr HTREEITEM TVI_ROOT = 0xFFFF0000u;
inline constexpr HTREEITEM TVI_FIRST = 0xFFFF0001u;
inline constexpr HTREEITEM TVI_LAST = 0xFFFF0002u;
inline constexpr HTREEITEM TVI_SORT = 0xFFFF0003u;
// Insert-after values of the TreeList beyond the tree view's own.
inline constexpr HTREEITEM TVI_AFTERPARENT = 0xFFFF0005u;   // after the parent, on its level
inline constexpr HTREEITEM TVI_BEFOREPARENT = 0xFFFF0006u;  // before the parent, on its level
inline constexpr HTREEITEM TVI_SORTEX = 0xFFFF0007u;        // sorted by the function in item.hItem
inline constexpr HTREEITEM TVI_POSITION = 0xFFE00000u;      // + n: at position n among the siblings

// Window styles of the tree view.
inline constexpr DWORD TVS_HASBUTTONS = 0x0001;
inline constexpr DWORD TVS_HASLINES = 0x0002;
inline constexpr DWORD TVS_LINESATROOT = 0x0004;
inline constexpr DWORD TVS_EDITLABELS = 0x0008;
inline constexpr DWORD TVS_DISABLEDRAGDROP = 0x0010;
inline constexpr DWORD TVS_SHOWSELALWAYS = 0x0020;
inline constexpr DWORD TVS_RTLREADING = 0x0040;
inline constexpr DWORD TVS_NOTOOLTIPS = 0x0080;
inline constexpr DWORD TVS_CHECKBOXES = 0x0100;
inline constexpr DWORD TVS_TRACKSELECT = 0x0200;
inline constexpr DWORD TVS_SINGLEEXPAND = 0x0400;
inline constexpr DWORD TVS_INFOTIP = 0x0800;
inline constexpr DWORD TVS_FULLROWSELECT = 0x1000;
inline constexpr DWORD TVS_NOSCROLL = 0x2000;
inline constexpr DWORD TVS_NONEVENHEIGHT = 0x4000;
inline constexpr DWORD TVS_NOHSCROLL = 0x8000;

// Extended styles of the TreeList (TVM_SETEXTENDEDSTYLE).
inline constexpr DWORD TVS_EX_MULTISELECT = 0x00001000;     // several selected items
inline constexpr DWORD TVS_EX_NOHSCROLL = 0x00002000;       // no horizontal scroll bar
inline constexpr DWORD TVS_EX_ODDHEIGHT = 0x00004000;       // a set item height is not made even
inline constexpr DWORD TVS_EX_BITCHECKBOX = 0x00008000;     // check boxes flip state bit 0x1000
inline constexpr DWORD TVS_EX_ITEMLINES = 0x00010000;       // grid lines, one more pixel of height
inline constexpr DWORD TVS_EX_ALTERNATECOLOR = 0x00020000;  // odd and even rows in two colours
inline constexpr DWORD TVS_EX_SUBSELECT = 0x00040000;       // the caret has a column
inline constexpr DWORD TVS_EX_FULLROWMARK = 0x00080000;     // a selected row is filled
inline constexpr DWORD TVS_EX_TOOLTIPNOTIFY = 0x00100000;   // TLN_ITEMTOOLTIP asks the parent
inline constexpr DWORD TVS_EX_AUTOEXPANDICON = 0x00200000;  // expanded items use image + 1
inline constexpr DWORD TVS_EX_NOCHARSELECT = 0x00400000;    // no incremental search
inline constexpr DWORD TVS_EX_NOCOLUMNRESIZE = 0x00800000;  // columns cannot be resized
inline constexpr DWORD TVS_EX_HIDEHEADERS = 0x01000000;     // no header
inline constexpr DWORD TVS_EX_GRAYEDDISABLE = 0x02000000;   // painted grey while disabled
inline constexpr DWORD TVS_EX_FULLROWITEMS = 0x04000000;    // row and column colours are used
inline constexpr DWORD TVS_EX_FIXEDCOLSIZE = 0x08000000;    // the last column fills the width

// Item state bits.
inline constexpr UINT TVIS_SELECTED = 0x0002;
inline constexpr UINT TVIS_CUT = 0x0004;
inline constexpr UINT TVIS_DROPHILITED = 0x0008;
inline constexpr UINT TVIS_BOLD = 0x0010;
inline constexpr UINT TVIS_EXPANDED = 0x0020;
inline constexpr UINT TVIS_EXPANDEDONCE = 0x0040;
inline constexpr UINT TVIS_EXPANDPARTIAL = 0x0080;
inline constexpr UINT TVIS_OVERLAYMASK = 0x0F00;
inline constexpr UINT TVIS_STATEIMAGEMASK = 0xF000;
inline constexpr UINT TVIS_USERMASK = 0xF000;
// A cell of a column with option TVAE_STATEENABLE is read-only while this bit is set.
inline constexpr UINT TVIS_DISABLEBIT = 0x8000;
inline constexpr UINT INDEXTOSTATEIMAGEMASK(UINT i) { return i << 12; }

// Item record masks.
inline constexpr UINT TVIF_TEXT = 0x0001;
inline constexpr UINT TVIF_IMAGE = 0x0002;
inline constexpr UINT TVIF_PARAM = 0x0004;
inline constexpr UINT TVIF_STATE = 0x0008;
inline constexpr UINT TVIF_HANDLE = 0x0010;
inline constexpr UINT TVIF_SELECTEDIMAGE = 0x0020;
inline constexpr UINT TVIF_CHILDREN = 0x0040;
inline constexpr UINT TVIF_SUBITEM = 0x8000;          // a cell: cChildren holds the column
inline constexpr UINT TVIF_NEXTCOLUMN = 0x10000000;   // end of edit: move on to the next row
inline constexpr UINT TVIF_TEXTCHANGED = 0x20000000;  // end of edit: the text was changed
inline constexpr UINT TVIF_TOOLTIPTIME = 0x40000000;  // tooltip answer: show after a delay
inline constexpr UINT TVIF_TEXTPTR = 0x80000000;      // get: the stored text itself, not a copy

inline WCHAR* const LPSTR_TEXTCALLBACKW = reinterpret_cast<WCHAR*>(static_cast<UINT_PTR>(-1));
inline constexpr int I_IMAGECALLBACK = -1;
inline constexpr int I_IMAGENONE = -2;
inline constexpr int I_CHILDRENCALLBACK = -1;

// Buffer of display callbacks and tooltips, in characters.
inline constexpr int TVL_TEXTBUFFER = 259;

struct TVITEMW {
    UINT mask = 0;
    HTREEITEM hItem = 0;
    UINT state = 0;
    UINT stateMask = 0;
    WCHAR* pszText = nullptr;
    int cchTextMax = 0;
    int iImage = 0;
    int iSelectedImage = 0;
    int cChildren = 0;
    LPARAM lParam = 0;
};

struct TVINSERTSTRUCTW {
    HTREEITEM hParent = 0;
    HTREEITEM hInsertAfter = 0;
    TVITEMW item;
};

struct TVHITTESTINFO {
    POINT pt;
    UINT flags = 0;
    HTREEITEM hItem = 0;
};

using PFNTVCOMPARE = int (*)(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
struct TVSORTCB {
    HTREEITEM hParent = 0;
    PFNTVCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};

// TLM_SORTEX: the compare function also gets the window and both items.
using PFNTLCOMPARE = int (*)(HWND hwnd, HTREEITEM item1, HTREEITEM item2, LPARAM lParam1, LPARAM lParam2,
                             LPARAM lParamSort);
struct TLSORTEX {
    HTREEITEM hParent = 0;
    PFNTLCOMPARE lpfnCompare = nullptr;
    LPARAM lParam = 0;
};

// Insert with TVI_SORTEX: the function is passed in the item record's hItem field.
using PFNTLINSERTCOMPARE = int (*)(HWND hwnd, HTREEITEM sibling, const WCHAR* siblingText, const WCHAR* newText,
                                   LPARAM siblingParam, LPARAM newParam);

// TLM_FINDITEM.
inline constexpr UINT TVIF_FINDTEXT = 0x0001;
inline constexpr UINT TVIF_FINDPARAM = 0x0004;
inline constexpr UINT TVIF_FINDSTATE = 0x0008;
inline constexpr UINT TVIF_FINDFIRSTCHILD = 0x02000000;
inline constexpr UINT TVIF_FINDNEXTSIBLING = 0x04000000;
inline constexpr UINT TVIF_FINDNOCASE = 0x08000000;
struct TLFINDITEM {
    UINT uFlags = 0;
    UINT uColumn = 0;
    UINT uState = 0;
    UINT uStateMask = 0;
    LPARAM lParam = 0;
    const WCHAR* pText = nullptr;
};

// Column record of TLM_INSERTCOLUMN, TLM_GETCOLUMN and TLM_SETCOLUMN (list-view layout;
// titles are 8-bit UI text).
inline constexpr UINT TVCF_FMT = 0x0001;
inline constexpr UINT TVCF_WIDTH = 0x0002;  // a fixed width in cx
inline constexpr UINT TVCF_TEXT = 0x0004;
inline constexpr UINT TVCF_VWIDTH = 0x0008;  // a variable column: cx holds its share
inline constexpr UINT TVCF_IMAGE = 0x0010;
inline constexpr UINT TVCF_MIN = 0x0020;       // minimum width in iOrder
inline constexpr UINT TVCF_MARK = 0x80000000;  // column mark from fmt bit TVCFMT_MARK
inline constexpr int TVCFMT_LEFT = 0;
inline constexpr int TVCFMT_RIGHT = 1;
inline constexpr int TVCFMT_CENTER = 2;
inline constexpr int TVCFMT_MARK = 0x10000000;
struct TV_COLUMN {
    UINT mask = 0;
    int fmt = 0;
    int cx = 0;
    char* pszText = nullptr;
    int cchTextMax = 0;
    int iSubItem = 0;
    int iImage = 0;
    int iOrder = 0;
};

// TVM_EXPAND actions.
inline constexpr UINT TVE_COLLAPSE = 0x0001;
inline constexpr UINT TVE_EXPAND = 0x0002;
inline constexpr UINT TVE_TOGGLE = 0x0003;
inline constexpr UINT TVE_EXPANDPARTIAL = 0x4000;
inline constexpr UINT TVE_COLLAPSERESET = 0x8000;

// TVM_GETNEXTITEM and TVM_SELECTITEM codes.
inline constexpr UINT TVGN_ROOT = 0;
inline constexpr UINT TVGN_NEXT = 1;
inline constexpr UINT TVGN_PREVIOUS = 2;
inline constexpr UINT TVGN_PARENT = 3;
inline constexpr UINT TVGN_CHILD = 4;
inline constexpr UINT TVGN_FIRSTVISIBLE = 5;
inline constexpr UINT TVGN_NEXTVISIBLE = 6;
inline constexpr UINT TVGN_PREVIOUSVISIBLE = 7;
inline constexpr UINT TVGN_DROPHILITE = 8;
inline constexpr UINT TVGN_CARET = 9;
inline constexpr UINT TVGN_LASTVISIBLE = 10;
inline constexpr UINT TVGN_DROPHILITECOLUMN = 12;
inline constexpr UINT TVGN_CARETCOLUMN = 13;
inline constexpr UINT TVGN_NEXTSELECTED = 14;
inline constexpr UINT TVGN_FOCUS = 15;
inline constexpr UINT TVGN_FOCUSCOLUMN = 16;
inline constexpr UINT TVGN_NEXTSELECTEDCHILD = 17;
inline constexpr UINT TVGN_LASTCHILD = 18;

// Image list kinds.
inline constexpr UINT TVSIL_NORMAL = 0;
inline constexpr UINT TVSIL_STATE = 2;
inline constexpr UINT TVSIL_CHECK = 3;      // check boxes of cells
inline constexpr UINT TVSIL_SUBIMAGES = 4;  // icons of cells

// Hit-test flags.
inline constexpr UINT TVHT_NOWHERE = 0x0001;
inline constexpr UINT TVHT_ONITEMICON = 0x0002;
inline constexpr UINT TVHT_ONITEMLABEL = 0x0004;
inline constexpr UINT TVHT_ONITEMINDENT = 0x0008;
inline constexpr UINT TVHT_ONITEMBUTTON = 0x0010;
inline constexpr UINT TVHT_ONITEMRIGHT = 0x0020;
inline constexpr UINT TVHT_ONITEMSTATEICON = 0x0040;
inline constexpr UINT TVHT_ONITEM = TVHT_ONITEMICON | TVHT_ONITEMLABEL | TVHT_ONITEMSTATEICON;
inline constexpr UINT TVHT_ABOVE = 0x0100;
inline constexpr UINT TVHT_BELOW = 0x0200;
inline constexpr UINT TVHT_TORIGHT = 0x0400;
inline constexpr UINT TVHT_TOLEFT = 0x0800;
inline constexpr UINT TVHT_ONSUBITEM = 0x00100000;     // in a cell, not on its icon or text
inline constexpr UINT TVHT_ONSUBICON = 0x00200000;     // on a cell's icon or check box
inline constexpr UINT TVHT_ONSUBLABEL = 0x00400000;    // on a cell's text (or an empty cell)
inline constexpr UINT TVHT_ONRIGHTSPACE = 0x00800000;  // right of the last column
inline constexpr UINT TVHT_SUBMASK = 0x00700000;
inline constexpr UINT TVHT_COLUMNOF(UINT flags) { return flags >> 24; }

// Selection actions reported in the notifications, and the select flag "this item only".
inline constexpr UINT TVC_UNKNOWN = 0;
inline constexpr UINT TVC_BYMOUSE = 1;
inline constexpr UINT TVC_BYKEYBOARD = 2;
inline constexpr UINT TVC_DESELECT = 0x8000;

// TVM_EDITLABELA editor kinds (bits 29-30 of wParam).
inline constexpr UINT TVLE_EDIT = 0;
inline constexpr UINT TVLE_COMBO = 1;
inline constexpr UINT TVLE_DROPLIST = 2;
inline constexpr WPARAM TVLE_COLUMNMASK = 0x1FFFFFFF;

// Auto-edit kinds and options (TLM_SETCOLUMNAUTOEDIT: options in bits 0-6, kind in 7-9,
// column in 10-15, separator character in 16-23, list size in 24-31).
inline constexpr UINT TVAX_NONE = 0;
inline constexpr UINT TVAX_EDIT = 1;
inline constexpr UINT TVAX_COMBO = 2;
inline constexpr UINT TVAX_CBLIST = 3;
inline constexpr UINT TVAX_STEP = 4;
inline constexpr UINT TVAX_STEPED = 5;
inline constexpr UINT TVAX_CHECK = 6;
inline constexpr UINT TVAX_CHECKED = 7;
inline constexpr UINT TVAE_NEXTLINE = 0x01;     // Enter moves on after a changed value
inline constexpr UINT TVAE_DBLCLICK = 0x02;     // a double click starts editing
inline constexpr UINT TVAE_FULLWIDTH = 0x04;    // the edit box gets the right-part mark
inline constexpr UINT TVAE_PTRLIST = 0x08;      // the value list is an array of text pointers
inline constexpr UINT TVAE_NOCHARS = 0x10;      // typing does not start editing
inline constexpr UINT TVAE_STATEENABLE = 0x20;  // cells with TVIS_DISABLEBIT are read-only
inline constexpr UINT TVAE_ICONCLICK = 0x40;    // a click on a cell's icon steps the value
inline constexpr WPARAM TVAE_MAKE(UINT column, UINT kind, UINT options, UINT separator = 0, UINT listSize = 0) {
    return (options & 0x7F) | ((kind & 7) << 7) | ((column & 0x3F) << 10) | ((separator & 0xFF) << 16) |
           (static_cast<WPARAM>(listSize & 0xFF) << 24);
}

// Messages of the tree view.
inline constexpr UINT TV_FIRST = 0x1100;
inline constexpr UINT TVM_INSERTITEMA = 0x1100;
inline constexpr UINT TVM_DELETEITEM = 0x1101;
inline constexpr UINT TVM_EXPAND = 0x1102;
inline constexpr UINT TVM_GETITEMRECT = 0x1104;
inline constexpr UINT TVM_GETCOUNT = 0x1105;
inline constexpr UINT TVM_GETINDENT = 0x1106;
inline constexpr UINT TVM_SETINDENT = 0x1107;
inline constexpr UINT TVM_GETIMAGELIST = 0x1108;
inline constexpr UINT TVM_SETIMAGELIST = 0x1109;
inline constexpr UINT TVM_GETNEXTITEM = 0x110A;
inline constexpr UINT TVM_SELECTITEM = 0x110B;
inline constexpr UINT TVM_GETITEMA = 0x110C;
inline constexpr UINT TVM_SETITEMA = 0x110D;
inline constexpr UINT TVM_EDITLABELA = 0x110E;
inline constexpr UINT TVM_GETEDITCONTROL = 0x110F;
inline constexpr UINT TVM_GETVISIBLECOUNT = 0x1110;
inline constexpr UINT TVM_HITTEST = 0x1111;
inline constexpr UINT TVM_CREATEDRAGIMAGE = 0x1112;
inline constexpr UINT TVM_SORTCHILDREN = 0x1113;
inline constexpr UINT TVM_ENSUREVISIBLE = 0x1114;
inline constexpr UINT TVM_SORTCHILDRENCB = 0x1115;
inline constexpr UINT TVM_ENDEDITLABELNOW = 0x1116;
inline constexpr UINT TVM_GETISEARCHSTRINGA = 0x1117;
inline constexpr UINT TVM_SETTOOLTIPS = 0x1118;
inline constexpr UINT TVM_GETTOOLTIPS = 0x1119;
inline constexpr UINT TVM_SETINSERTMARK = 0x111A;
inline constexpr UINT TVM_SETITEMHEIGHT = 0x111B;
inline constexpr UINT TVM_GETITEMHEIGHT = 0x111C;
inline constexpr UINT TVM_SETBKCOLOR = 0x111D;  // wParam: colour index 0..15
inline constexpr UINT TVM_SETTEXTCOLOR = 0x111E;
inline constexpr UINT TVM_GETBKCOLOR = 0x111F;  // wParam: colour index 0..15
inline constexpr UINT TVM_GETTEXTCOLOR = 0x1120;
inline constexpr UINT TVM_SETINSERTMARKCOLOR = 0x1125;
inline constexpr UINT TVM_GETINSERTMARKCOLOR = 0x1126;
inline constexpr UINT TVM_GETITEMSTATE = 0x1127;
inline constexpr UINT TVM_SETLINECOLOR = 0x1128;
inline constexpr UINT TVM_GETLINECOLOR = 0x1129;
inline constexpr UINT TVM_SETEXTENDEDSTYLE = 0x112C;
inline constexpr UINT TVM_GETEXTENDEDSTYLE = 0x112D;
inline constexpr UINT TVM_INSERTITEMW = 0x1132;
inline constexpr UINT TVM_GETITEMW = 0x113E;
inline constexpr UINT TVM_SETITEMW = 0x113F;

// TVM_GETITEMRECT modes beyond "text part only" (bit 0): the low byte 0x80 or 0x81 asks
// for the cell of the column in bits 24-31.
inline constexpr WPARAM TVIR_GETCOLUMN = 0x80;
inline constexpr WPARAM TVIR_TEXT = 0x01;
inline constexpr WPARAM TVIR_COLTOSUB(UINT column) { return static_cast<WPARAM>(column) << 24; }
// The rectangle of TVM_GETITEMRECT carries the item in its first field.
inline RECT TVIR_REQUEST(HTREEITEM item) {
    RECT rect;
    rect.left = static_cast<LONG>(item & 0x7FFFFFFF);
    return rect;
}

// Own messages.
inline constexpr UINT TLM_FINDITEM = 0x1143;
inline constexpr UINT TLM_GETROWSPERPAGE = 0x1144;
inline constexpr UINT TLM_SETCOLUMNVALUE = 0x1145;
inline constexpr UINT TLM_SETCOLUMNAUTOEDIT = 0x1146;
inline constexpr UINT TLM_SORTEX = 0x1147;
inline constexpr UINT TLM_GETUSERDATA = 0x1148;
inline constexpr UINT TLM_GETUSERDATASIZE = 0x1149;
inline constexpr UINT TLM_SETUSERDATASIZE = 0x114A;
inline constexpr UINT TLM_GETCOLUMNWIDTH = 0x114B;
inline constexpr UINT TLM_SETCOLUMNWIDTH = 0x114C;
inline constexpr UINT TLM_GETCOLUMN = 0x114D;
inline constexpr UINT TLM_SETCOLUMN = 0x114E;
inline constexpr UINT TLM_GETROWOFITEM = 0x114F;
inline constexpr UINT TLM_GETROWCOUNT = 0x1150;
inline constexpr UINT TLM_GETITEMOFROW = 0x1151;
inline constexpr UINT TLM_GETITEMTEXTCOLOR = 0x1152;
inline constexpr UINT TLM_SETITEMTEXTCOLOR = 0x1153;
inline constexpr UINT TLM_GETITEMBKCOLOR = 0x1154;
inline constexpr UINT TLM_SETITEMBKCOLOR = 0x1155;
inline constexpr UINT TLM_SELECTDROPTARGET = 0x1156;
inline constexpr UINT TLM_SELECTCHILDITEM = 0x1157;
inline constexpr UINT TLM_INSERTCOLUMN = 0x1158;
inline constexpr UINT TLM_DELETECOLUMN = 0x1159;
inline constexpr UINT TLM_GETCOLUMNCOUNT = 0x115A;
inline constexpr UINT TLM_GETHEADER = 0x115B;
// wParam of the per-item colour messages: the item in bits 0-23, the column in 24-31.
inline constexpr WPARAM TLM_ITEMCOLUMN(HTREEITEM item, UINT column) {
    return (item & 0xFFFFFF) | (static_cast<WPARAM>(column & 0xFF) << 24);
}

// Colour slots of TVM_SETBKCOLOR / TVM_GETBKCOLOR.
inline constexpr UINT TVC_BK = 0;
inline constexpr UINT TVC_ODD = 1;
inline constexpr UINT TVC_EVEN = 2;
inline constexpr UINT TVC_FRAME = 3;
inline constexpr UINT TVC_TEXT = 4;
inline constexpr UINT TVC_LINE = 5;
inline constexpr UINT TVC_BOX = 6;
inline constexpr UINT TVC_TRACK = 7;
inline constexpr UINT TVC_MARKODD = 8;
inline constexpr UINT TVC_MARKEVEN = 9;
inline constexpr UINT TVC_INSERT = 10;
inline constexpr UINT TVC_BOXBG = 11;
inline constexpr UINT TVC_COLBK = 12;
inline constexpr UINT TVC_COLODD = 13;
inline constexpr UINT TVC_COLEVEN = 14;
inline constexpr UINT TVC_GRAYED = 15;
inline constexpr UINT TVC_COUNT = 16;
inline constexpr COLORREF CLR_NONE = 0xFFFFFFFFu;

// Notifications to the parent (WM_NOTIFY).
inline constexpr UINT TVN_SELCHANGINGA = static_cast<UINT>(-401);
inline constexpr UINT TVN_SELCHANGEDA = static_cast<UINT>(-402);
inline constexpr UINT TVN_GETDISPINFOA = static_cast<UINT>(-403);
inline constexpr UINT TVN_SETDISPINFOA = static_cast<UINT>(-404);
inline constexpr UINT TVN_ITEMEXPANDINGA = static_cast<UINT>(-405);
inline constexpr UINT TVN_ITEMEXPANDEDA = static_cast<UINT>(-406);
inline constexpr UINT TVN_BEGINDRAGA = static_cast<UINT>(-407);
inline constexpr UINT TVN_BEGINRDRAGA = static_cast<UINT>(-408);
inline constexpr UINT TVN_DELETEITEMA = static_cast<UINT>(-409);
inline constexpr UINT TVN_BEGINLABELEDITA = static_cast<UINT>(-410);
inline constexpr UINT TVN_ENDLABELEDITA = static_cast<UINT>(-411);
inline constexpr UINT TVN_KEYDOWN = static_cast<UINT>(-412);
inline constexpr UINT TVN_SINGLEEXPAND = static_cast<UINT>(-415);
inline constexpr UINT TLN_ITEMTOOLTIP = static_cast<UINT>(-432);
inline constexpr UINT TLN_CBSTATECHANGED = static_cast<UINT>(-433);
inline constexpr UINT TLN_STEPVALUE = static_cast<UINT>(-499);

// Answers to TVN_SINGLEEXPAND.
inline constexpr LRESULT TVNRET_DEFAULT = 0;
inline constexpr LRESULT TVNRET_SKIPOLD = 1;
inline constexpr LRESULT TVNRET_SKIPNEW = 2;

// Notification records. Where a cell is meant, the item record's cChildren holds the column.
// TLN_ITEMTOOLTIP: the parent answers non-zero with itemNew.pszText pointing at the tip; with
// TVIF_TOOLTIPTIME in itemNew.mask, itemOld.lParam holds the delay in milliseconds.
struct NMTREEVIEW {
    NMHDR hdr;
    UINT action = 0;
    TVITEMW itemOld;
    TVITEMW itemNew;
    POINT ptDrag;
};
using NMTREEVIEWW = NMTREEVIEW;

struct NMTVDISPINFO {
    NMHDR hdr;
    TVITEMW item;
};

struct NMTVKEYDOWN {
    NMHDR hdr;
    WORD wVKey = 0;
    UINT flags = 0;
};

// The window class name.
inline constexpr const char* TVC_CLASSNAME = "TreeList";
