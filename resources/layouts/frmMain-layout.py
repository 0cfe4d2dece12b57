#!/usr/bin/env python3
"""Writes frmMain.layout, the main window's layout, from the geometry below.

The window is drawn for 15360 x 10200 twips: a row of picture buttons with the report name,
the photo tabs (subject, comparables, general, listings, rentals, extended) with three slots a
page (six on the extended pages), and the thumbnail strip of the capture directory.
Run it after changing the geometry:  resources/layouts/frmMain-layout.py
"""
import os

out = []


def form(**props):
    out.append("Form frmMain")
    for k, v in props.items():
        out.append(f"  {k} = {fmt(v)}")
    out.append("")


def fmt(v):
    if isinstance(v, bool):
        return "True" if v else "False"
    if isinstance(v, int):
        return str(v)
    if isinstance(v, str) and v.startswith("&H"):
        return v
    return '"' + str(v).replace('"', '""') + '"'


def control(kind, name, index=None, shares=(), **props):
    """shares: controls of the same container drawn on purpose in this one's place."""
    ref = name if index is None else f"{name}({index})"
    out.append(f"Control {kind} {ref}")
    if shares:
        out.append("  # shares place with: " + ", ".join(shares))
    for k, v in props.items():
        out.append(f"  {k} = {fmt(v)}")


def box(left, top, width, height):
    return dict(Left=left, Top=top, Width=width, Height=height)


# ---- geometry (twips)
TAB_LEFT, TAB_TOP, TAB_W, TAB_H = 120, 720, 15000, 6600
# Inner tab controls, on the outer pages.  They start far enough below the outer tabs that the
# compact layout, which scales them but not the row of tabs, leaves that row uncovered.
INNER = box(120, 480, 14760, 6000)
INNER_STRIP = 330
COL_W, COL_GAP = 4440, 360
PIC_H = 3330
SLOT_TOP = INNER_STRIP + 480
LABEL_H = 285
COMBO_H = 315
STRIP_TOP = 7380  # the capture directory line
THUMB_TOP, THUMB_W, THUMB_H, THUMB_GAP = 8070, 1200, 900, 30  # 80 x 60 pixels
BLUE_TEXT = "&H00804000&"
BANNER_BACK = "&H00F7EFE6&"
STRIP_BACK = "&H00505050&"


def col_left(k):
    return COL_GAP + k * (COL_W + COL_GAP)


form(Caption="Corvane Velmora", Left=0, Top=0, Width=15360, Height=10200, KeyPreview=True,
     Icon="logo/velmora.bmp", StartUpPosition=0, BackColor="&H8000000F&", FontName="Arial",
     FontSize=8)

# ---- menus
MENUS = [
    ("mnuFile", "File", "mnuFile_Entry",
     ["Copy Photos (From Media Device)", "-", "Find Photos (Search)", "-", "Exit"]),
    ("munSetup", "Setup", "mnuSetup_Entry", ["Configuration"]),
    ("mnuRefresh", "Refresh", "mnuRefresh_Entry",
     ["Appraisal Information", "Capture Directory Pictures"]),
    ("mnuTools", "Tools", "mnuTools_Entry", ["Maintenance", "-", "TWAIN", "Picture Editor"]),
    ("mnuHelp", "Help", "mnuHelp_Entry",
     ["Program Help", "-", "Technical Support", "Website", "-", "About Velmora ..."]),
]
SUBMENUS = {
    ("mnuTools_Entry", 0): ("mnuTools_Entry_Maint",
                            ["Delete Photos (Current Directory)", "Delete Trashcan Photos"]),
    ("mnuHelp_Entry", 3): ("mnuHelp_Entry_Web", ["Connect to Website", "Remote Support Session"]),
}
for title, caption, entries, captions in MENUS:
    control("Menu", title, Caption=caption)
    for i, c in enumerate(captions):
        control("Menu", entries, i, Parent=title, Caption=c)
        if (entries, i) in SUBMENUS:
            sub, subcaptions = SUBMENUS[(entries, i)]
            for j, sc in enumerate(subcaptions):
                control("Menu", sub, j, Parent=f"{entries}({i})", Caption=sc)
out.append("")

# ---- picture buttons and the report banner
BUTTONS = [
    ("imaCamera", "buttons/camera.bmp", "Capture Pictures from Camera / Memory Stick / Drives"),
    ("imaSearch", "buttons/search.bmp", "Search for Pictures"),
    ("imaSetup", "buttons/setup.bmp", "Configuration Settings"),
    ("imaKep", "buttons/kep.bmp", "Refresh Link from Appraisals"),
]
for n, (name, pic, tip) in enumerate(BUTTONS):
    control("Image", name, **box(120 + n * 660, 60, 600, 600), Picture=pic, ToolTipText=tip)
control("Label", "lblReport", **box(2880, 120, 1020, 285), Caption="Report:", FontBold=True,
        Alignment=1, BackStyle=0)
control("Label", "lblRPT", **box(3960, 90, 11160, 315), Caption="", FontName="Arial",
        FontSize=10, FontBold=True, BorderStyle=1, BackColor=BANNER_BACK, ForeColor="&H80000002&")
control("Label", "lblSubjectAddr", **box(3960, 435, 11160, 285), Caption="", FontName="Arial",
        FontSize=9, ForeColor=BLUE_TEXT, BackStyle=0)
out.append("")

# ---- photo tabs
control("TabControl", "TabData", **box(TAB_LEFT, TAB_TOP, TAB_W, TAB_H), Tabs=6, TabsPerRow=6,
        TabHeight=360, FontBold=True,
        **{f"TabCaption({i})": c for i, c in enumerate(
            ["Subject", "Comparables", "General", "Listings", "Rentals", "Extended"])})

SECTIONS = [
    # outer page, tab control, pages: list of (caption, [(slot array, index, number caption,
    # address array or None)])
    (0, "TabSubject", ["Subject"]),
    (1, "TabComp", ["1 - 3", "4 - 6", "7 - 9", "Alt 1 - 3", "Alt 4 - 6"]),
    (2, "TabGeneral", [f"P{n}" for n in range(1, 13)]),
    (3, "TabListing", ["LIST 1 - 3", "LIST 4 - 6", "REO 1 - 3", "REO 2008 1-3", "SPEC 1 - 3",
                       "SPEC 4 - 6"]),
    (4, "TabRental", ["1 - 3", "4 - 6", "7 - 9"]),
]
SUBJECT_NAMES = ["Front View", "Rear View", "Street Scene"]


def page_slots(tab, page):
    """The slots of one inner page: (slot array, index, number label array, caption, address)."""
    if tab == "TabSubject":
        return [("imaSubject", i, "lblSubject", SUBJECT_NAMES[i - 1], None) for i in (1, 2, 3)]
    if tab == "TabComp":
        if page < 3:
            return [("imaComp", i, "lblComp", f"Comparable {i}", "lblCompAddr")
                    for i in range(3 * page + 1, 3 * page + 4)]
        base = 3 * (page - 3)
        return [("imaAltComp", i, "lblAltComp", f"Alternate {i}", "lblAltCompAddr")
                for i in range(base + 1, base + 4)]
    if tab == "TabGeneral":
        return [("imaGeneral", i, "lblGeneral", f"Photo {i}", None)
                for i in range(3 * page + 1, 3 * page + 4)]
    if tab == "TabListing":
        if page < 2:
            return [("imaListing", i, "lblListing", f"Listing {i}", "lblListingAddr")
                    for i in range(3 * page + 1, 3 * page + 4)]
        if page == 2:
            return [("imaReoListing", i, "lblReoListing", f"REO {i}", "lblReoListingAddr")
                    for i in (1, 2, 3)]
        if page == 3:
            return [("imaReo2Listing", i, "lblReo2Listing", f"REO 2008 {i}",
                     "lblReo2ListingAddr") for i in (1, 2, 3)]
        base = 3 * (page - 4)
        return [("imaSpecificListing", i, "lblSpecificListing", f"Specific {i}",
                 "lblSpecificListingAddr") for i in range(base + 1, base + 4)]
    if tab == "TabRental":
        return [("imaRental", i, "lblRental", f"Rental {i}", "lblRentalAddr")
                for i in range(3 * page + 1, 3 * page + 4)]
    return []


SLOT = dict(AutoResizeX=0, AutoResizeY=0, DisplayStretch=True,
            BackColor="&H80000005&", DragMode=0)
for outer, tab, captions in SECTIONS:
    out.append("")
    control("TabControl", tab, **INNER, Parent=f"TabData:{outer}", Tabs=len(captions),
            TabsPerRow=len(captions), TabHeight=INNER_STRIP,
            **{f"TabCaption({i})": c for i, c in enumerate(captions)})
    for page in range(len(captions)):
        for k, (arr, idx, numarr, caption, addrarr) in enumerate(page_slots(tab, page)):
            left = col_left(k)
            parent = f"{tab}:{page}"
            control("Gear", arr, idx, **box(left, SLOT_TOP, COL_W, PIC_H), Parent=parent, **SLOT)
            top = SLOT_TOP + PIC_H + 45
            control("Label", numarr, idx, **box(left, top, 1260, LABEL_H), Parent=parent,
                    Caption=caption, FontBold=True, BackStyle=0)
            if addrarr:
                control("Label", addrarr, idx, **box(left + 1290, top, COL_W - 1290, LABEL_H),
                        Parent=parent, Caption="", ForeColor=BLUE_TEXT, BorderStyle=1,
                        BackColor="&H80000005&")
            if arr == "imaGeneral":
                control("ComboBox", "cboGeneralAddress", idx,
                        **box(left + 1290, top - 15, COL_W - 1290, COMBO_H), Parent=parent,
                        ToolTipText="Address of this photo")
                control("ComboBox", "cboGeneral", idx,
                        **box(left, top + COMBO_H + 30, COL_W, COMBO_H), Parent=parent,
                        ToolTipText="Caption of this photo")

# ---- extended photos: six pages of six; the slots lie on the outer page and are shown page by
#      page over the extended tab control
out.append("")
control("TabControl", "tabExtended", **INNER, Parent="TabData:5", Tabs=6, TabsPerRow=6,
        TabHeight=INNER_STRIP, shares=("imaExtended", "cboExtendedAddress", "cboExtended"),
        **{f"TabCaption({i})": f"{6 * i + 1} - {6 * i + 6}" for i in range(6)})
XP_W, XP_H = 2600, 1950
XP_COL = (INNER["Width"] - 3 * XP_W) // 4
for i in range(1, 37):
    k = (i - 1) % 6
    row, col = divmod(k, 3)
    left = INNER["Left"] + XP_COL + col * (XP_W + XP_COL)
    top = INNER["Top"] + INNER_STRIP + 150 + row * (XP_H + 2 * COMBO_H + 150)
    visible = i <= 6
    control("Gear", "imaExtended", i, **box(left, top, XP_W, XP_H), Parent="TabData:5",
            Visible=visible, **SLOT)
    control("ComboBox", "cboExtendedAddress", i, **box(left, top + XP_H, XP_W, COMBO_H),
            Parent="TabData:5", Visible=visible, ToolTipText="Address of this photo")
    control("ComboBox", "cboExtended", i, **box(left, top + XP_H + COMBO_H, XP_W, COMBO_H),
            Parent="TabData:5", Visible=visible, ToolTipText="Caption of this photo")

# ---- slot elements that are never shown (element 0 of four families, general 40)
out.append("")
for arr in ("imaSubject", "imaListing", "imaRental", "imaGeneral"):
    control("Gear", arr, 0, **box(0, 0, 1200, 900), Visible=False)
control("Gear", "imaGeneral", 40, **box(0, 0, 1200, 900), Visible=False)

# ---- capture directory, paging buttons, folder and trash buttons, and the thumbnail strip
out.append("")
control("Label", "lblDirectory", **box(120, STRIP_TOP + 165, 1740, LABEL_H),
        Caption="Capture Directory:", FontBold=True, Alignment=1, BackStyle=0,
        ToolTipText="Double Click to Refresh the Capture Pictures")
control("Label", "lblCapDir", **box(1920, STRIP_TOP + 135, 9780, 315), Caption="",
        FontName="Arial", FontSize=9, BorderStyle=1, BackColor="&H80000005&",
        ToolTipText="Change Capture Directory")
SCROLL = [("first", "Move to Top of Capture Directory"),
          ("up", "Move Up Through Capture Directory"),
          ("down", "Move Down Through Capture Directory"),
          ("last", "Move to Bottom of Capture Directory")]
for i, (name, tip) in enumerate(SCROLL):
    control("Image", "imaScroll", i, **box(11940 + i * 420, STRIP_TOP + 120, 360, 360),
            Picture=f"arrows/{name}_off.bmp", ToolTipText=tip)
# 4..7: the pictures at the top and bottom of the list; 8..11: while the list can move
for i, name in enumerate(["first_off", "up_off", "down_off", "last_off",
                          "first_on", "up_on", "down_on", "last_on"], start=4):
    control("Image", "imaScroll", i, **box(0, 0, 360, 360), Visible=False,
            Picture=f"arrows/{name}.bmp")
control("Image", "imaFolder", **box(13800, STRIP_TOP, 600, 600),
        Picture="buttons/folder.bmp", ToolTipText="Change Capture Directory")
control("Image", "imaTrash", **box(14460, STRIP_TOP, 600, 600),
        Picture="buttons/trash.bmp", ToolTipText="Trashcan Directory (Switch to/from)")
control("Label", "lblFill", **box(120, THUMB_TOP - 60, TAB_W, THUMB_H + LABEL_H + 105),
        shares=("GeaThumb", "lbltag"), Caption="", BackColor=STRIP_BACK, BorderStyle=1)
for i in range(12):
    left = 180 + i * (THUMB_W + THUMB_GAP)
    control("Gear", "GeaThumb", i, **box(left, THUMB_TOP, THUMB_W, THUMB_H), Visible=False,
            AutoResizeX=80, AutoResizeY=60, AutoReduce=3, DisplayStretch=True,
            BackColor="&H00404040&")
    control("Label", "lbltag", i, **box(left, THUMB_TOP + THUMB_H + 15, THUMB_W, LABEL_H - 30),
            Visible=False, Caption="", FontName="Arial Narrow", FontSize=8, Alignment=2,
            BackColor="&H80000005&")

# ---- hidden helpers
out.append("")
for name in ("txtDDE", "TxtKepReport", "txtKepListForms"):
    control("TextBox", name, **box(0, 0, 1200, 285), Visible=False, Text="")
# One row high: a list box scrolls no further than its last full page, and the strip must be
# able to start at any entry, the last one included.
control("FileListBox", "filCapture", **box(0, 0, 1200, 195), Visible=False,
        Pattern="*.jpg;*.bmp;*.tif")
control("FileListBox", "filREA", **box(0, 0, 1200, 1200), Visible=False, Pattern="*.jpg")
for name in ("lstViews", "lstAddr", "lstForm"):
    control("ListBox", name, **box(0, 0, 1200, 1200), Visible=False)
control("Gear", "geaRes", **box(0, 0, 1200, 900), Visible=False)
for i, name in enumerate(["photo", "nodrop", "copy"]):
    control("Image", "imaDragDrop", i, **box(0, 0, 480, 480), Visible=False,
            Picture=f"dragdrop/{name}.bmp")

here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "frmMain.layout"), "w") as f:
    f.write("# Generated by resources/layouts/frmMain-layout.py from its geometry: change it there"
            " and run it.\n")
    f.write("\n".join(out) + "\n")
