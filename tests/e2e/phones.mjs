// Three judges' phones in Debian's chromium, headless, for the phones' road of the end-to-end tests.
// Reads one command a line on stdin and answers each with "done <command>" or "fail <why>" on stdout:
//   open URL...           opens one phone-sized page per join address and waits until each is connected
//   judge SEAT NAME       waits until the seat's phone shows its seat number and its judge's name
//   contestant REGEX      waits until every phone shows a contestant matching REGEX
//   score SEAT VALUE      types VALUE on the seat's pad, sends it and waits for "已收到 VALUE"
//   late SEAT VALUE       sends VALUE from the seat for the contestant it showed before the last change, as
//                         a phone that had not heard of the change would, and waits for the phone's word
//   quit
// Argument: the folder holding node_modules/playwright-core.
import { createRequire } from 'node:module';
import path from 'node:path';
import readline from 'node:readline';

const require = createRequire(path.join(process.argv[2], 'package.json'));
const { chromium } = require('playwright-core');

let browser = null;
const phones = [];

// Keeps the page's socket and every contestant the program announced, so a late score can be made as
// the page itself sends one.
const watch = () => {
  window.__performances = [];
  const send = WebSocket.prototype.send;
  WebSocket.prototype.send = function (data) {
    window.__socket = this;
    if (!this.__watched) {
      this.__watched = true;
      this.addEventListener('message', (event) => {
        try {
          const m = JSON.parse(event.data);
          if (m.t === 'perf')
            window.__performances.push(m);
        } catch (e) { /* not ours */ }
      });
    }
    return send.call(this, data);
  };
};

async function waitText(page, id, test, what, ms = 15000) {
  const deadline = Date.now() + ms;
  let last = '';
  while (Date.now() < deadline) {
    last = await page.locator('#' + id).innerText();
    if (test(last))
      return last;
    await page.waitForTimeout(50);
  }
  throw new Error(`#${id} shows "${last}", not ${what}`);
}

const commands = {
  async open(...urls) {
    browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'], headless: true });
    for (const url of urls) {
      const context = await browser.newContext({
        viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true, locale: 'zh-CN',
      });
      const page = await context.newPage();
      await page.addInitScript(watch);
      await page.goto(url);
      phones.push(page);
    }
    for (const page of phones)
      await waitText(page, 'state', (t) => t === '已连接', '已连接');
  },
  async judge(seat, name) {
    const page = phones[seat - 1];
    await waitText(page, 'seat', (t) => t === seat + '号评委', seat + '号评委');
    await waitText(page, 'judge', (t) => t === name, name);
  },
  async contestant(pattern) {
    const re = new RegExp(pattern);
    for (const page of phones)
      await waitText(page, 'contestant', (t) => re.test(t), pattern);
  },
  async score(seat, value) {
    const page = phones[seat - 1];
    await page.locator('#clear').tap();
    for (const key of value)
      await page.locator(`#pad button[data-key="${key}"]`).tap();
    await page.locator('#send').tap();
    await waitText(page, 'status', (t) => t === '已收到 ' + value, '已收到 ' + value);
  },
  async late(seat, value) {
    const page = phones[seat - 1];
    const sent = await page.evaluate((value) => {
      const seen = window.__performances.filter((m) => m.scoring);
      const now = seen[seen.length - 1];
      const before = [...seen].reverse().find((m) => m.round !== now.round || m.pos !== now.pos);
      if (!before)
        return null;
      const seq = Number(localStorage.getItem('quelmora.seq') || 0) + 1;
      localStorage.setItem('quelmora.seq', String(seq));
      window.__socket.send(JSON.stringify({ t: 'score', round: before.round, pos: before.pos, seq, value }));
      return before;
    }, value);
    if (!sent)
      throw new Error('the phone never showed another contestant');
    await waitText(page, 'status', (t) => t.includes('不是当前选手'), 'that the score was not for this contestant');
  },
  async quit() {
    if (browser)
      await browser.close();
    browser = null;
  },
};

const input = readline.createInterface({ input: process.stdin });
for await (const line of input) {
  const [name, ...args] = line.trim().split(/\s+/);
  if (!name)
    continue;
  try {
    if (!commands[name])
      throw new Error('no such command');
    await commands[name](...args);
    console.log('done ' + line.trim());
  } catch (e) {
    console.log('fail ' + name + ': ' + e.message.split('\n')[0]);
  }
  if (name === 'quit')
    break;
}
if (browser)
  await browser.close();
