#!/usr/bin/env python3
"""Writes resources/Language/English.ini and resources/Language/Chinese.ini.

The two language files are generated from the tables below so that both stay
complete and in step: every key has an English and a Chinese text. English.ini
is plain ASCII (readable in any ANSI code page), Chinese.ini is UTF-16LE with a
byte-order mark, so it reads the same whatever the system code page is. Lines
end in CR LF.

Adding a page: append a DIALOG_TITLES row for its template id and a block to
CONTROLS with its control ids, then run this script and commit both files.

Usage: scripts/make_language_files.py [output folder]
"""

import os
import sys

# SIDS_n: the 161 UI texts. The English column is the panel's built-in text,
# character for character (blanks, capitals and spellings are part of it).
# Leading blanks pad the entries of drop lists; the Chinese texts keep them.
UI_TEXTS = [
    ("Picture Mode", "图像模式"),  # 0
    ("Color Temperature", "色温"),
    ("Output Resolution", "输出分辨率"),
    ("Rotate", "旋转"),
    ("Input Source", "输入源"),
    ("Automatic Arrangement", "自动排列"),  # 5
    ("Manual Arrangement", "手动排列"),
    ("Sync Mode", "同步模式"),
    ("PIP3 Usage", "PIP3 用途"),
    ("Position", "位置"),
    ("Clear", "清除"),  # 10
    ("Files", "文件"),
    ("Operate", "操作"),
    ("Chroma Keyer", "色键抠像"),
    ("Keyer Mode", "抠像模式"),
    ("EDID Selcet", "EDID 选择"),  # 15
    ("More", "更多"),
    ("Display Adjustment", "显示调整"),
    ("ADC Adjustment", "ADC 调整"),
    ("DDC Setting", "DDC 设置"),
    ("Test Pattern", "测试画面"),  # 20
    ("Pixel Grab", "像素取值"),
    ("Date And Time", "日期和时间"),
    ("Machine Time", "设备时间"),
    ("Local Time", "电脑时间"),
    ("Schedule", "定时计划"),  # 25
    ("Task Edit", "任务编辑"),
    ("Loopout Setting", "环出设置"),
    ("Switch Mode", "切换模式"),
    ("System Information", "系统信息"),
    ("Factory Reset", "恢复出厂设置"),  # 30
    ("Please Select A Ip", "请先选择一个 IP 地址"),
    ("Select the Machine ?", "确定选择这台设备吗？"),
    ("Edid Apply", "EDID 应用"),
    ("VGA Adjustment", "VGA 调整"),
    ("Password Is Error", "密码错误"),  # 35
    ("Preset is Invalid", "该场景未保存，无法调用"),
    ("Save The Preset?", "保存到该场景吗？"),
    ("Tips", "提示"),
    ("The Machine Is Offline", "设备已离线"),
    ("SWITCH ON", "切换台 开"),  # 40
    ("SWITCH OFF", "切换台 关"),
    (" User ", " 自定义 "),
    (" White On Black1", " 黑底白字1"),
    (" White On Black2", " 黑底白字2"),
    (" Black On White1", " 白底黑字1"),  # 45
    (" Black On White2", " 白底黑字2"),
    (" Green On Black1", " 黑底绿字1"),
    (" Green On Black2", " 黑底绿字2"),
    (" Green On White1", " 白底绿字1"),
    (" Green On White2", " 白底绿字2"),  # 50
    (" Red On Black1", " 黑底红字1"),
    (" Red On Black2", " 黑底红字2"),
    (" Red On White1", " 白底红字1"),
    (" Red On White2", " 白底红字2"),
    ("PIP3 Is Off", "PIP3 已关闭"),  # 55
    ("Restart The Machine", "请重启设备"),
    (" Standard ", " 标准 "),
    (" Low Light1 ", " 低亮度1 "),
    (" Low Light2 ", " 低亮度2 "),
    (" Low Light3 ", " 低亮度3 "),  # 60
    (" Video ", " 视频 "),
    (" Graphic ", " 图文 "),
    (" Monochrome ", " 黑白 "),
    (" User ", " 自定义 "),
    ("Waitting Operation ...", "正在处理，请稍候..."),  # 65
    ("Ok", "成功"),
    ("Failed", "失败"),
    ("Picture Setting", "图像设置"),
    ("Output Setting", "输出设置"),
    ("Image Crop", "图像裁剪"),  # 70
    ("Misc Settings", "其他设置"),
    ("PIP Settings", "画中画设置"),
    ("Logo Settings", "LOGO 设置"),
    ("Chroma Keyer Settings", "色键抠像设置"),
    ("EDID Settings", "EDID 设置"),  # 75
    ("VGA Adjustment", "VGA 调整"),
    ("Test Pattern", "测试画面"),
    ("Time/Task Management", "时间/任务管理"),
    ("Misc Settings", "其他设置"),
    ("Load", "加载"),  # 80
    ("Save", "保存"),
    ("Getting Data From Desitination... ", "正在从设备读取数据... "),
    ("Search Desitination Machine... ", "正在搜索设备... "),
    ("Set Data To Desitination...", "正在向设备写入数据..."),
    ("Connect Failed!", "连接失败！"),  # 85
    ("Switcher Mode", "切换台模式"),
    ("Connection Type", "连接方式"),
    ("Connection Status", "连接状态"),
    ("File Setting", "工程文件"),
    ("Multi-Machine Mode", "多机模式"),  # 90
    ("Com Connection", "串口连接"),
    ("Network Connection", "网络连接"),
    ("Connection Setting", "连接设置"),
    ("Search Machines", "搜索设备"),
    ("Local Ip Address", "本机 IP 地址"),  # 95
    ("Customized  Resolution", "自定义分辨率"),
    ("Setting", "设置"),
    ("Switcher Mode", "切换台模式"),
    ("Logo Position is changed, please Load logo", "LOGO 位置已改变，请重新加载 LOGO"),
    (" Free Run", " 自由运行"),  # 100
    (" Lock To Main Input", " 锁定主画面输入"),
    (" Lock To Genlock", " 锁定外同步(Genlock)"),
    (" Lock To DVI1", " 锁定 DVI1"),
    (" Lock To DVI2", " 锁定 DVI2"),
    (" Lock To HDMI1", " 锁定 HDMI1"),  # 105
    (" Lock To HDMI2", " 锁定 HDMI2"),
    (" Lock To DP1", " 锁定 DP1"),
    (" Lock To DVI3", " 锁定 DVI3"),
    (" Lock To DVI4", " 锁定 DVI4"),
    (" Lock To HDMI3", " 锁定 HDMI3"),  # 110
    (" Lock To HDMI4", " 锁定 HDMI4"),
    (" Lock To DP2", " 锁定 DP2"),
    (" Auto", " 自动"),
    (" Mode 1", " 模式 1"),
    (" Mode 2", " 模式 2"),  # 115
    (" Opaque", " 不透明"),
    (" Translucent", " 半透明"),
    (" Transparent", " 透明"),
    (" Freeze", " 静止"),
    (" Speed 1", " 速度 1"),  # 120
    (" Speed 2", " 速度 2"),
    (" Speed 3", " 速度 3"),
    (" Left", " 向左滚动"),
    (" Right", " 向右滚动"),
    ("Caption Setting", "字幕设置"),  # 125
    ("Local Preview", "本地预览"),
    ("Display Area", "显示区域"),
    ("Caption Input", "字幕内容"),
    ("Send Caption Time Out", "字幕发送超时"),
    ("Caption 1", "字幕 1"),  # 130
    ("Caption 2", "字幕 2"),
    ("Caption 3", "字幕 3"),
    ("Caption 4", "字幕 4"),
    ("Video Display Setting", "视频显示设置"),
    ("Reset Caption ?", "确定重置字幕吗？"),  # 135
    ("In Serial Interface mode Take Function is not available", "串口连接时不能使用 TAKE 功能"),
    ("Video Display", "视频显示"),
    ("Fluency", "流畅"),
    ("Standard Definition", "标清"),
    ("High Definition", "高清"),  # 140
    ("Ultra Clear", "超清"),
    ("Update Failure", "升级失败"),
    ("Success, Pls Restart the Machine", "升级成功，请重启设备"),
    ("Update", "升级"),
    ("Fixed to HDMI", "固定 HDMI"),  # 145
    ("Fixed to DP", "固定 DP"),
    ("Auto", "自动"),
    ("Auto(Default HDMI)", "自动(HDMI 优先)"),
    ("Auto(Default DP)", "自动(DP 优先)"),
    ("Port Switch Method", "端口切换方式"),  # 150
    ("Media Player Setting", "媒体播放设置"),
    ("Chroma Keyer On PIP3", "在 PIP3 上抠像"),
    ("Chroma Keyer On PIP1", "在 PIP1 上抠像"),
    ("Rectangle", "矩形"),
    ("Rectangle Left", "矩形(左边)"),  # 155
    ("Rectangle Right", "矩形(右边)"),
    ("Rectangle Up", "矩形(上边)"),
    ("Rectangle Down", "矩形(下边)"),
    ("Feathering", "边缘羽化"),
    ("PIP3 Input Source Is  Signal Off", "PIP3 输入源无信号"),  # 160
]

# IDD<template>_Title: the window text of each dialog.
DIALOG_TITLES = [
    (100, "About Q20 VideoProcessor", "关于 Q20 VideoProcessor"),
    (102, "Q20 VideoProcessor", "Q20 VideoProcessor"),
    (108, "Main Page", "主画面"),
    (110, "Picture Setting", "图像设置"),
    (117, "Output Setting", "输出设置"),
    (119, "Image Crop", "图像裁剪"),
    (120, "Mosaic Setting", "拼接设置"),
    (127, "Connection Setting", "连接设置"),
    (150, "PIP Settings", "画中画设置"),
    (152, "Test Pattern", "测试画面"),
    (154, "Chroma Keyer Settings", "色键抠像设置"),
    (156, "EDID Settings", "EDID 设置"),
    (158, "Misc Settings", "其他设置"),
    (160, "VGA Adjustment", "VGA 调整"),
    (162, "Time/Task Management", "时间/任务管理"),
    (164, "Logo Settings", "LOGO 设置"),
    (170, "Please Wait", "请稍候"),
    (179, "Search Machines", "搜索设备"),
    (183, "Switcher Mode", "切换台模式"),
    (184, "Feathering", "边缘羽化"),
    (1514, "Caption Setting", "字幕设置"),
    (1533, "Video Display Setting", "视频显示设置"),
    (1563, "Media Player Setting", "媒体播放设置"),
]

# IDS_<control id>: control captions, by dialog. A control id names the same
# control in every dialog that has it, so one entry relabels all of them.
# Edits and lists have no caption and no entry. Left out on purpose: 1240 (the
# main window sets it from SIDS_40/41; the switcher page's ON/OFF switch has the
# same id) and 1344 (a hidden check box here, "Open Project" on the misc page).
# The connection page and the search window use ids 1700..1729, the EDID page
# 1760..1774, the VGA page's labels 1780..1789; the keyer page 1900..1923, the
# crop page 1930..1945, the feathering dialog 1950..1956, the video settings
# page 2000..2012, the output page 2200..2246, the picture page 2300..2349, the
# PIP page 2400..2417, the mosaic page 2450..2475, the logo page 2500..2534, the
# caption page's labels 2600..2613, the test pattern page 2800..2802, the
# switcher page 2850, the time and task page's labels 2700..2706, the misc page
# 2900.
CONTROLS = [
    ("Main window (102): page buttons", [
        (1021, "PICTURE", "图像"),
        (1025, "OUTPUT", "输出"),
        (1180, "MOSAIC", "拼接"),
        (1245, "SWITCHER", "切换台"),
        (1123, "PIP", "画中画"),
        (1126, "CROP", "裁剪"),
        (1241, "LOGO", "LOGO"),
        (1179, "EDID", "EDID"),
        (1183, "VGA", "VGA"),
        (1244, "MISC", "其他"),
        (1178, "COMM", "连接"),
        (1242, "TEST PATTERN", "测试画面"),
        (1243, "TIME/TASK", "时间/任务"),
    ]),
    ("Main window (102): control strip", [
        (1247, "MAIN", "主画面"),
        (1248, "PIP-1", "PIP-1"),
        (1249, "PIP-2", "PIP-2"),
        (1250, "PIP-3", "PIP-3"),
        (1466, "MAIN", "主画面"),
        (1467, "PIP-1", "PIP-1"),
        (1468, "PIP-2", "PIP-2"),
        (1469, "PIP-3", "PIP-3"),
        (1446, "TOP-M", "主置顶"),
        (1447, "TOP-1", "1置顶"),
        (1448, "TOP-2", "2置顶"),
        (1449, "TOP-3", "3置顶"),
        (1451, "TAKE", "TAKE"),
        (1472, "Lock Output", "锁定输出"),
        (1601, "Freeze", "冻结"),
        (1237, "Presets", "场景"),
        (1238, "Templates", "模板"),
        (1246, "Load", "调用"),
        (1236, "Save", "保存"),
        (1573, "Signal Switch", "信号切换"),
        (1564, "Preview", "预览"),
        (1403, "Dual CH.", "双通道"),
        (1255, "Loop-Out", "环出"),
        (1441, "Sync Mode", "同步模式"),
        (1572, "Port Switch Method", "端口切换方式"),
    ]),
    ("Connection page (127)", [
        (1700, "Network Connection", "网络连接"),
        (1701, "Destination IP :", "目标 IP："),
        (1703, "DisConnect", "断开"),
        (1704, "Search Machines >>>", "搜索设备 >>>"),
        (1705, "Com Connection", "串口连接"),
        (1706, "Com", "串口"),
        (1708, "Baud Rate", "波特率"),
        (1710, "Connect", "连接"),
        (1711, "DisConnect", "断开"),
        (1712, "Connect", "连接"),
        (1713, "Local IP :", "本机 IP："),
        (1715, "Refresh", "刷新"),
        (1717, "Select All Machine", "选择全部设备"),
        (1718, "Work Offline", "离线工作"),
    ]),
    ("Network search window (179)", [
        (1720, "SEARCH", "搜索"),
        (1721, "Connect", "连接"),
        (1722, "Local Ip Address", "本机 IP 地址"),
    ]),
    ("Chroma keyer page (154)", [
        (1901, "ON/OFF", "开/关"),
        (1904, "Reset", "复位"),
        (1905, "Color Range", "颜色范围"),
        (1906, "Red :", "红："),
        (1907, "Green :", "绿："),
        (1908, "Blue :", "蓝："),
        (1909, " ~ ", " ~ "),
        (1910, " ~ ", " ~ "),
        (1911, " ~ ", " ~ "),
        (1912, "Gain In", "输入增益"),
        (1913, "Gain Out", "输出增益"),
        (1914, "Gain Bnd", "边界增益"),
    ]),
    ("Crop page (119; relabelled with the main window's keys)", [
        (1935, "H Start : ", "水平起点："),
        (1936, "V Start : ", "垂直起点："),
        (1937, "Width : ", "宽度："),
        (1938, "Height : ", "高度："),
        (1943, "ON/OFF", "开/关"),
        (1945, "Reset", "复位"),
    ]),
    ("Feathering dialog (184)", [
        (1953, "Sharp", "形状"),
        (1954, "Sharp", "形状"),
        (1955, "Level", "等级"),
        (1956, "Level", "等级"),
    ]),
    ("EDID page (156); the group captions are UI texts 15 and 16", [
        (1762, "H Active :", "水平有效："),
        (1763, "V Active :", "垂直有效："),
        (1764, "FPS :", "刷新率："),
        (1765, "H Blank :", "水平消隐："),
        (1766, "V Blank :", "垂直消隐："),
        (1767, "Apply", "应用"),
        (1768, "Restore", "恢复默认"),
        (1769, "More >", "更多 >"),
    ]),
    ("VGA page (160); the group captions are UI texts 17..19", [
        (1352, "Auto Adjust", "自动调整"),
        (1362, "Please Enter Password :", "请输入密码："),
        (1372, "enter", "确定"),
        (1186, "Calibrate", "校准"),
        (1195, "Rest", "复位"),
        (1780, "Clock :", "时钟："),
        (1781, "Phase :", "相位："),
        (1782, "H Position :", "水平位置："),
        (1783, "V Position :", "垂直位置："),
        (1784, "Red Offset", "红色偏移"),
        (1785, "Red Gain", "红色增益"),
        (1786, "Green Offset", "绿色偏移"),
        (1787, "Green Gain", "绿色增益"),
        (1788, "Blue Offset", "蓝色偏移"),
        (1789, "Blue Gain", "蓝色增益"),
    ]),
    ("Test pattern page (152); the group captions are UI texts 20 and 21", [
        (1515, "Caption Setting", "字幕设置"),
        (2800, "H Start : ", "水平起点："),
        (2801, "V Start : ", "垂直起点："),
    ]),
    ("Switcher page (183); the group captions are UI texts 28 and 90", [
        (2850, "ON/OFF", "开/关"),
        (1509, "Panel x 1", "单屏 x 1"),
        (1510, "Panel x 2", "双屏 x 2"),
        (1429, "Fade Duration :", "淡入淡出时间："),
        (1431, "sec", "秒"),
    ]),
    ("Output page (117); the group captions are UI texts 2 and 3", [
        (2201, "H Active :", "水平有效："),
        (2202, "V Active :", "垂直有效："),
        (2203, "FPS :", "刷新率："),
        (2207, "More >", "更多 >"),
        (2208, "Apply", "应用"),
        (2209, "H total :", "水平总数："),
        (2210, "V total :", "垂直总数："),
        (2211, "H sync :", "水平同步："),
        (2212, "V sync :", "垂直同步："),
        (2213, "Hbp :", "水平后沿："),
        (2214, "Vbp :", "垂直后沿："),
        (2215, "H pol :", "水平极性："),
        (2216, "V pol :", "垂直极性："),
        (2227, "H Start :", "水平起点："),
        (2228, "V Start :", "垂直起点："),
        (2229, "Width :", "宽度："),
        (2230, "Height :", "高度："),
        (2235, "Full Screen", "全屏"),
    ]),
    ("Picture page (110); the group captions are UI texts 0 and 1", [
        (2306, "Bright Level :", "亮度等级："),
        (2308, "Gamma :", "伽马："),
        (2311, "Input :", "输入："),
        (2313, "ALL", "全部"),
        (2314, "Brightness :", "亮度："),
        (2315, "Contrast :", "对比度："),
        (2316, "Saturation :", "饱和度："),
        (2317, "Hue :", "色调："),
        (2318, "Sharpness :", "锐度："),
        (2319, "Red :", "红："),
        (2320, "Green :", "绿："),
        (2321, "Blue :", "蓝："),
        (2323, "Reset", "复位"),
        (2324, "Reset Picture Settings", "复位图像设置"),
    ]),
    ("Video settings page (1533)", [
        (2001, "Quality :", "画质："),
        (2006, "Encoder IP :", "编码器 IP："),
        (2009, "Browse", "浏览"),
    ]),
    ("Caption page (1514); the group captions are UI texts 125..128", [
        (1517, "Preview", "预览"),
        (1530, "Advanced", "高级设置"),
        (1553, "Initialize", "初始化"),
        (1603, "Align Center", "居中对齐"),
        (1524, "Save", "保存"),
        (1520, "Browse", "浏览"),
        (1522, "Font", "字体设置"),
        (1521, "Text Color", "前景颜色"),
        (1523, "Back Color", "背景颜色"),
        (2600, "Width:", "宽度:"),
        (2601, "Height:", "高度:"),
        (2602, "H Start:", "水平起始:"),
        (2603, "V Start:", "垂直起始:"),
        (2604, "Width:", "宽度:"),
        (2605, "Scroll Speed", "滚动速度"),
        (2606, "Scroll Direction", "滚动方向"),
        (2607, "Background", "背景模式"),
        (2608, "Output 1", "输出1字幕"),
        (2609, "Output 2", "输出2字幕"),
        (2610, "Output 3", "输出3字幕"),
        (2611, "Output 4", "输出4字幕"),
        (2612, "Swap Colors", "前景背景反转"),
        (2613, "ON/OFF", "开/关"),
    ]),
    ("PIP page (150)", [
        (2406, "Input :", "输入源："),
        (2407, "Input :", "输入源："),
        (2408, "Input :", "输入源："),
        (2409, "Alpha :", "透明度："),
        (2410, "Alpha :", "透明度："),
        (2411, "Alpha :", "透明度："),
    ]),
    ("Mosaic page (120)", [
        (2452, "ON/OFF", "开/关"),
        (2454, "Panel x 1", "1 屏"),
        (2455, "Panel x 2", "2 屏"),
        (2456, "Panel x2_1", "2 屏 (上下)"),
        (2457, "Panel x 3", "3 屏"),
        (2458, "Panel x 4", "4 屏"),
        (2463, "H Start :", "水平起点："),
        (2464, "V Start :", "垂直起点："),
        (2465, "Width :", "宽度："),
        (2466, "Height :", "高度："),
        (2467, "H Total :", "水平总宽："),
        (2468, "V Total :", "垂直总高："),
        (2475, "Reset", "复位"),
    ]),
    ("Misc page (158); the group captions are UI texts 27, 29, 30 and 89; the language labels,"
     " loop-out names and reset steps keep their template captions", [
        (1505, "Setting", "设置"),
        (1506, "Keyer", "抠像"),
        (1507, "TEST PATTERN", "测试画面"),
        (1508, "TIME/TASK", "时间/任务"),
        (1442, "Save Project", "保存工程"),
        (1443, "Save As", "另存为"),
        (1480, "Get Data From Machine", "从设备读取数据"),
        (1481, "Set Data To Machine", "写入数据到设备"),
        (1547, "Video Setting >>", "视频设置 >>"),
        (1574, "Media Player >>", "媒体播放 >>"),
        (1593, "Feathering", "边缘羽化"),
    ]),
    ("Media player page (1563)", [
        (1575, "OK", "确定"),
        (1576, "Return", "返回"),
        (1577, "Switch", "切换"),
        (1578, "Up", "上"),
        (1579, "Down", "下"),
        (1580, "Left", "左"),
        (1581, "Right", "右"),
    ]),
    ("Time and task page (162); the group captions are UI texts 22..26", [
        (2700, "Date :", "日期："),
        (2701, "Time :", "时间："),
        (2702, "(Y/M/D)", "(年/月/日)"),
        (1327, "SYNC", "同步"),
        (2703, "ON/OFF", "开/关"),
        (2704, "Time Setting", "时间设置"),
        (2705, "Task Option", "任务选项"),
        (1462, "Not Use", "不使用"),
        (1463, "Once", "一次"),
        (1464, "Every Day", "每天"),
        (2706, "Preset", "场景"),
        (1189, "Confirm", "确定"),
    ]),
    ("Logo page (164)", [
        (2506, "Normal", "普通"),
        (2507, "Logo", "LOGO"),
        (2508, "ON/OFF", "开/关"),
        (2510, "PIP3 Is Off", "PIP3 已关闭"),
        (2511, "H Start :", "水平起点："),
        (2512, "V Start :", "垂直起点："),
        (2513, "Width :", "宽度："),
        (2514, "Height :", "高度："),
        (2531, "Logo Top", "LOGO 置顶"),
        (2533, "Logo Border", "LOGO 边框"),
    ]),
]

# Messages of the pages that the UI text table lacks, under keys of their own.
PAGE_MESSAGES = [
    ("Main window (102): messages", [
        ("APP_NoAnswer", "The device did not answer. Check the connection and try again.",
         "设备没有应答。请检查连接后重试。"),
        ("APP_ProjectNotSaved",
         "The project could not be saved to\\n%1\\nThe current settings are not stored.",
         "工程无法保存到\\n%1\\n当前设置未能保存。"),
        ("APP_ProjectSavedInstead", "The project could not be saved to\\n%1\\nIt was saved to\\n%2",
         "工程无法保存到\\n%1\\n已改为保存到\\n%2"),
        ("APP_ProjectUnreadable",
         "The project\\n%1\\ncannot be read. The current settings are kept.",
         "无法读取工程\\n%1\\n当前设置保持不变。"),
        ("APP_NotAProject", "The file\\n%1\\nis not a project. The current settings are kept.",
         "文件\\n%1\\n不是工程文件。当前设置保持不变。"),
        ("APP_ProjectIncomplete",
         "The project\\n%1\\nis incomplete (cut short or edited). The current settings are kept.",
         "工程\\n%1\\n不完整（被截断或被修改）。当前设置保持不变。"),
        ("APP_LinkNone", "Not connected", "未连接"),
        ("APP_LinkConnected", "%1 - connected", "%1 - 已连接"),
        ("APP_LinkReconnecting", "%1 - link lost, reconnecting (attempt %2)",
         "%1 - 连接中断，正在重新连接（第 %2 次）"),
        ("APP_LinkReconnected", "%1 - reconnected at %2", "%1 - 已于 %2 重新连接"),
        ("APP_LinkClosed", "%1 - disconnected by the operator", "%1 - 已由操作员断开"),
        ("APP_LinkRefused",
         "The link to the processor is lost: the command was not sent. The panel is reconnecting by itself.",
         "与处理器的连接已中断：命令未发送。面板正在自动重新连接。"),
        ("APP_NoLink", "NO LINK", "无连接"),
    ]),
    ("Main window (102): writes the processor did not confirm", [
        ("APP_WriteRefused", "%1 refused by the processor", "%1被处理器拒绝"),
        ("APP_WriteRefusedWhy", "%1 refused by the processor: %2", "%1被处理器拒绝：%2"),
        ("APP_WriteDisagreed", "%1: the processor keeps other values; the panel shows them",
         "%1：处理器保留了其他数值，面板已显示这些数值"),
        ("APP_WriteUnconfirmed", "%1 not confirmed by the processor; reading it back",
         "%1未得到处理器确认，正在回读"),
        ("APP_WhyPixelBudget", "over its pixel budget", "超出像素带宽"),
        ("APP_WhyOutOfRange", "a value outside its range", "数值超出范围"),
        ("APP_WhyNoBoard", "it has no expansion board for it", "没有对应的扩展板"),
        ("APP_WhyEmptyPreset", "the preset holds nothing", "该场景为空"),
        ("APP_WhyOrdered", "refused on order of its control line", "按控制线指令拒绝"),
        ("APP_CmdPreset", "Preset", "场景"),
        ("APP_CmdOutputTiming", "Output timing", "输出时序"),
        ("APP_CmdPicture", "Picture settings", "画面设置"),
        ("APP_CmdLayerWindow", "Layer window", "图层窗口"),
        ("APP_CmdCrop", "Crop", "裁剪"),
        ("APP_CmdMosaic", "Mosaic", "拼接"),
        ("APP_CmdLayerInput", "Layer input", "图层输入"),
        ("APP_CmdLayerOnOff", "Layer on/off", "图层开关"),
        ("APP_CmdLogo", "Logo", "LOGO"),
        ("APP_CmdEdid", "EDID", "EDID"),
        ("APP_CmdKeyer", "Keyer", "抠像"),
        ("APP_CmdTestPattern", "Test pattern", "测试图"),
        ("APP_CmdPixelGrab", "Pixel grab", "取色"),
        ("APP_CmdVgaAdjust", "VGA adjustment", "VGA 调整"),
        ("APP_CmdPvwMode", "Preview mode", "预览模式"),
        ("APP_CmdTransition", "Transition time", "切换时间"),
        ("APP_CmdTask", "Time and tasks", "时间与任务"),
        ("APP_CmdLoopOut", "Loop-out", "环出"),
        ("APP_CmdFactoryReset", "Factory reset", "恢复出厂设置"),
        ("APP_CmdTake", "Take", "切换"),
        ("APP_CmdSync", "Sync mode", "同步模式"),
        ("APP_CmdWriteAll", "Writing all settings", "写入全部设置"),
        ("APP_CmdCaption", "Caption", "字幕"),
        ("APP_CmdEncoder", "Video encoder", "视频编码器"),
        ("APP_CmdSignalSwitch", "Signal switch", "信号切换"),
        ("APP_CmdMedia", "Media player", "媒体播放"),
        ("APP_CmdFeather", "Feathering", "羽化"),
        ("APP_CmdFreeze", "Freeze", "冻结"),
        ("APP_CmdOther", "Command %1", "命令 %1"),
    ]),
    ("Misc page (158): the open button (its id 1344 is a main-window control too)", [
        ("MISC_OpenProject", "Open Project", "打开工程"),
    ]),
    ("Network search window (179): messages", [
        ("SearchNoMachine", "No Machine Found", "未找到设备"),
        ("CONNECT_NotIpv4", "\"%1\" is not an IPv4 address (four numbers 0..255 separated by dots).",
         "\"%1\" 不是 IPv4 地址（以点分隔的四个 0..255 的数字）。"),
        ("CONNECT_NoAnswer", "No processor answers at %1. Nothing was changed.",
         "%1 没有处理器应答。未做任何更改。"),
    ]),
    ("Offline mode: the main window's title and link indicator", [
        ("OFFLINE_Title", "OFFLINE - %1", "离线 OFFLINE - %1"),
        ("OFFLINE_Link", "OFFLINE - built-in virtual processor %1, no wall is driven",
         "离线 OFFLINE - 内置虚拟处理器 %1，未驱动任何屏幕"),
        ("OFFLINE_Who", "OFFLINE virtual processor", "离线虚拟处理器"),
        ("OFFLINE_CannotStart", "The built-in virtual processor cannot start: %1",
         "内置虚拟处理器无法启动：%1"),
    ]),
    ("Main page (108): context menu", [
        ("IDS_TOPMEN_TOPSET", "TopSetting", "置顶设置"),
    ]),
    ("Main window (102): the changes list, undo and redo", [
        ("CHG_Title", "Changes", "更改记录"),
        ("CHG_Time", "Time", "时间"),
        ("CHG_Change", "Change", "更改"),
        ("CHG_State", "State", "状态"),
        ("CHG_Undo", "Undo", "撤销"),
        ("CHG_Redo", "Redo", "重做"),
        ("CHG_LogFailed",
         "The changes log cannot be written (%1). The changes list goes on without it.",
         "无法写入更改日志（%1）。更改记录照常显示，但不再写入日志。"),
        ("CHG_Forgotten",
         "Another processor is connected: undo starts afresh from here.",
         "已连接另一台处理器：撤销从此处重新开始。"),
    ]),
    ("Video settings page (1533): why an update failed", [
        ("VENC_Busy", "an update is already running", "升级正在进行"),
        ("VENC_NoFile", "the package file cannot be read", "无法读取升级文件"),
        ("VENC_EmptyFile", "the package file is empty", "升级文件为空"),
        ("VENC_NoConnect", "the encoder cannot be reached", "无法连接编码器"),
        ("VENC_SendFailed", "sending to the encoder failed", "向编码器发送失败"),
        ("VENC_Closed", "the encoder closed the connection", "编码器断开了连接"),
        ("VENC_NoAnswer", "the encoder did not answer", "编码器没有应答"),
        ("VENC_BadAnswer", "the encoder's answer is not understood", "无法识别编码器的应答"),
        ("VENC_Refused", "the encoder refused the package", "编码器拒绝了升级文件"),
        ("VENC_Cancelled", "the update was stopped", "升级已停止"),
    ]),
    ("Time and task page (162): messages", [
        ("TASK_InvalidClock", "%1 (invalid)", "%1 (无效)"),
        ("TASK_NoPreset", "Choose a preset that holds settings", "请选择已保存的场景"),
    ]),
    ("Caption page (1514): messages", [
        ("CAP_Invalid", "Caption Invalid", "字幕无效"),
        ("CAP_TooLarge", "The picture exceeds the 3840*128 limit", "图片超过 3840*128 的限制"),
        ("CAP_CannotUse", "The caption picture %1 cannot be used: %2", "字幕图片 %1 无法使用：%2"),
        ("CAP_WriteFailed", "The caption picture cannot be written to %1", "无法写入字幕图片 %1"),
        ("CAP_ReadFailed", "The caption picture could not be read; the upload was stopped",
         "无法读取字幕图片，上传已停止"),
        ("CAP_NoFile", "the file cannot be opened", "文件无法打开"),
        ("CAP_NotBmp", "it is not an uncompressed BMP picture", "不是未压缩的 BMP 图片"),
        ("CAP_Truncated", "the file is shorter than its header says", "文件比文件头所述的短"),
        ("CAP_BadWidth", "its width is not above zero", "宽度不大于零"),
        ("CAP_BadHeight", "its height is not above zero", "高度不大于零"),
        ("CAP_NotOneBit", "it is not a one-bit picture", "不是单色（1 位）图片"),
        ("CAP_TooLargeReason", "it is larger than 3840 x 128", "超过 3840 x 128"),
    ]),
]


def quoted(value):
    """A value with blanks at either end is written in double quotes: profile
    reads trim blanks around a value and drop one pair of enclosing quotes."""
    if value != value.strip() or (value[:1] in "\"'" and value[-1:] == value[:1]):
        return '"' + value + '"'
    return value


def lines(language_name, column):
    out = [";" + " Panel texts: " + language_name + ". Generated by scripts/make_language_files.py.",
           "[Setting]", "Language=" + language_name, "", "[String]"]
    for n, texts in enumerate(UI_TEXTS):
        out.append("SIDS_%d=%s" % (n, quoted(texts[column])))
    out.append("")
    out.append("; Dialog titles")
    for template, *texts in DIALOG_TITLES:
        out.append("IDD%d_Title=%s" % (template, quoted(texts[column])))
    for heading, rows in CONTROLS:
        out.append("")
        out.append("; " + heading)
        for control, *texts in rows:
            out.append("IDS_%d=%s" % (control, quoted(texts[column])))
    for heading, rows in PAGE_MESSAGES:
        out.append("")
        out.append("; " + heading)
        for key, *texts in rows:
            out.append("%s=%s" % (key, quoted(texts[column])))
    return out


def check():
    assert len(UI_TEXTS) == 161, len(UI_TEXTS)
    ids = [control for _, rows in CONTROLS for control, *_ in rows]
    assert len(ids) == len(set(ids)), "a control id is listed twice"
    templates = [t for t, *_ in DIALOG_TITLES]
    assert len(templates) == len(set(templates)), "a dialog is listed twice"
    keys = [key for _, rows in PAGE_MESSAGES for key, *_ in rows]
    assert len(keys) == len(set(keys)), "a message key is listed twice"
    for texts in UI_TEXTS + [r[1:] for r in DIALOG_TITLES] + [
            r[1:] for _, rows in CONTROLS + PAGE_MESSAGES for r in rows]:
        english, chinese = texts
        english.encode("ascii")
        assert chinese and "\n" not in chinese


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "resources", "Language")
    check()
    os.makedirs(folder, exist_ok=True)
    english = "\r\n".join(lines("English", 0)) + "\r\n"
    with open(os.path.join(folder, "English.ini"), "wb") as f:
        f.write(english.encode("ascii"))
    chinese = "\r\n".join(lines("Chinese", 1)) + "\r\n"
    with open(os.path.join(folder, "Chinese.ini"), "wb") as f:
        f.write(b"\xff\xfe" + chinese.encode("utf-16-le"))


if __name__ == "__main__":
    main()
