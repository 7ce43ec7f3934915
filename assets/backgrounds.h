#pragma once
// The default pictures of "系统图片/": stage backgrounds of 1024 x 768 for the projector, the board tile and
// the matching drawing surface. Each leaves calm the places where its screen draws text or widgets.
#include <QImage>

namespace assetgen::art {

// The contest title the demo pictures carry.
QString contestTitle();

QImage hub();             // 主界面.jpg: show hub; the bottom strip stays calm for the help bar
QImage scoring(int round); // 评分背景图.jpg (round 0) and 评分背景图第一轮.jpg .. 第四轮.jpg (rounds 1..4)
QImage leaderboard();     // 排行榜.jpg
QImage countdown();       // 倒计时.jpg: a light dial behind the red seconds
QImage still();           // 静止主界面.jpg
QImage slogan();          // 宣传口号.jpg
QImage board();           // 选题背景.jpg: the quiz board behind twenty tiles
QImage tile();            // 选题框.gif: one board tile, 170 x 115 with transparent corners (ARGB)
QImage choice();          // 选择题背景.jpg and the entry page 选择题.jpg
QImage answer();          // 问答题背景.jpg and the entry page 问答题.jpg
QImage media();           // 多媒体题背景.jpg
QImage matching();        // 连线题.bmp and 连线题背景.bmp: light surface the pair lines are drawn on

} // namespace assetgen::art
