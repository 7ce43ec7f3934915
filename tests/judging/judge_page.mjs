// The judge's page in a real browser: three phones pair by their join addresses, score, see the next
// contestant, lose a late score for the previous one, and see the operator's confirmation; then a phone
// keeps a score it could not send through the browser being killed a second later.
// Arguments: the harness executable and the folder holding node_modules/playwright-core.
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import { createRequire } from 'node:module';
import path from 'node:path';
import readline from 'node:readline';

const [harnessPath, npmFolder] = process.argv.slice(2);
const require = createRequire(path.join(npmFolder, 'package.json'));
const { chromium } = require('playwright-core');

function fail(message) {
  console.error('FAIL: ' + message);
  process.exitCode = 1;
  throw new Error(message);
}

// The harness: its lines, and a way to wait for one.
const harness = spawn(harnessPath, [], { stdio: ['pipe', 'pipe', 'inherit'] });
const lines = [];
const waiters = [];
readline.createInterface({ input: harness.stdout }).on('line', (line) => {
  lines.push(line);
  for (const w of [...waiters]) {
    if (w.test(line)) {
      waiters.splice(waiters.indexOf(w), 1);
      w.resolve(line);
    }
  }
});
function awaitLine(test, ms = 10000, what = String(test)) {
  const found = lines.find((l) => test(l));
  if (found)
    return Promise.resolve(found);
  return new Promise((resolve, reject) => {
    const w = { test, resolve };
    waiters.push(w);
    setTimeout(() => reject(new Error('the harness never said ' + what)), ms);
  });
}
function command(text) {
  const from = lines.length;
  harness.stdin.write(text + '\n');
  const done = 'done ' + text.split(' ')[0];
  return awaitLine((l) => l === done && lines.indexOf(l, from) >= from, 10000, done);
}

// What the page keeps unsent, read from its IndexedDB as the page does.
function storedPending() {
  return new Promise((resolve) => {
    const request = indexedDB.open('quelmora', 1);
    request.onsuccess = () => {
      const get = request.result.transaction('kv', 'readonly').objectStore('kv').get('pending');
      get.onsuccess = () => resolve(get.result || null);
      get.onerror = () => resolve(null);
    };
    request.onerror = () => resolve(null);
  });
}

const ownBrowsers = [];
// A browser in a process of its own on a profile folder, so the test can kill it outright.
async function ownBrowser(profile) {
  const child = spawn('/usr/bin/chromium', ['--headless=new', '--no-sandbox', '--remote-debugging-port=0',
    '--user-data-dir=' + profile, '--no-first-run', 'about:blank'], { stdio: ['ignore', 'ignore', 'pipe'], detached: true });
  const endpoint = await new Promise((resolve, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('the browser gave no debugging address')), 20000);
    child.stderr.on('data', (chunk) => {
      text += chunk;
      const m = text.match(/DevTools listening on (ws:\/\/\S+)/);
      if (m) {
        clearTimeout(timer);
        resolve(m[1]);
      }
    });
  });
  const connected = await chromium.connectOverCDP(endpoint);
  const kill = () => { try { process.kill(-child.pid, 'SIGKILL'); } catch (e) { /* gone already */ } };
  ownBrowsers.push(kill);
  return { context: connected.contexts()[0], kill };
}

let browser;
try {
  await awaitLine((l) => l === 'ready');
  const urls = lines.filter((l) => l.startsWith('url ')).map((l) => l.split(' ')[2]);
  if (urls.length !== 3)
    fail('the harness gave ' + urls.length + ' join addresses');

  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'], headless: true });
  const phones = [];
  for (let seat = 1; seat <= 3; ++seat) {
    const context = await browser.newContext({
      viewport: { width: 390, height: 844 }, deviceScaleFactor: 2, isMobile: true, hasTouch: true, locale: 'zh-CN',
    });
    const page = await context.newPage();
    const requests = [];
    page.on('request', (r) => requests.push(r.url()));
    await page.goto(urls[seat - 1]);
    phones.push({ page, requests });
  }
  const text = (page, id) => page.locator('#' + id).innerText();
  async function expectText(page, id, expected, ms = 10000) {
    const deadline = Date.now() + ms;
    let last = '';
    while (Date.now() < deadline) {
      last = await text(page, id);
      if (expected instanceof RegExp ? expected.test(last) : last === expected)
        return;
      await page.waitForTimeout(50);
    }
    fail('#' + id + ' shows "' + last + '", not ' + expected);
  }
  async function type(page, keys) {
    for (const k of keys)
      await page.locator(`#pad button[data-key="${k}"]`).tap();
  }
  async function score(page, keys) {
    await page.locator('#clear').tap();
    await type(page, keys);
    await page.locator('#send').tap();
  }

  const names = ['王老师', '李教授', '陈主任'];
  for (let i = 0; i < 3; ++i) {
    const { page, requests } = phones[i];
    await expectText(page, 'state', '已连接');
    await expectText(page, 'seat', (i + 1) + '号评委');
    await expectText(page, 'judge', names[i]);
    await expectText(page, 'contestant', /选手1$/);
    if (page.url().includes('#t=') || requests.some((u) => u.includes('t=')))
      fail('the token stayed in the address or went out in a request');
  }

  // Scores: echoed, then seen by the program.
  const [p1, p2, p3] = phones.map((p) => p.page);
  await score(p1, ['9', '.', '2', '5']);
  await expectText(p1, 'status', '已收到 9.25');
  await awaitLine((l) => l === 'score 1 9.25');
  await score(p2, ['8', '.', '5']);
  await expectText(p2, 'status', '已收到 8.5');
  await awaitLine((l) => l === 'score 2 8.5');
  // The pad keeps to the round: 10 is the highest and two places the most.
  await p3.locator('#clear').tap();
  await type(p3, ['1', '1', '0', '.', '5']);
  await expectText(p3, 'value', '10.');
  if (!(await p3.locator('#send').isDisabled()))
    fail('send was open for an unfinished score');
  await type(p3, ['back']);
  await p3.locator('#send').tap();
  await expectText(p3, 'status', '已收到 10');
  await awaitLine((l) => l === 'score 3 10');
  // A resend before the operator confirms: the last one wins.
  await score(p1, ['9', '.', '5']);
  await expectText(p1, 'status', '已收到 9.5');
  await awaitLine((l) => l === 'score 1 9.5');

  const shots = process.env.QUELMORA_SCREENSHOTS;
  if (shots)
    await p1.screenshot({ path: path.join(shots, 'judge_page_received.png') });

  // The program goes away for a moment; judge 2 scores meanwhile; the operator moves on to contestant 2.
  await command('stop');
  await expectText(p2, 'state', /已断开/);
  await score(p2, ['7', '.', '7', '5']);
  await expectText(p2, 'status', /未送到/);
  await command('perf 1 2');
  await command('start');
  for (const page of [p1, p2, p3]) {
    await expectText(page, 'state', '已连接', 20000);
    await expectText(page, 'contestant', /选手2$/);
  }
  // The score kept on the phone was for contestant 1: dropped, and the judge is told.
  await expectText(p2, 'status', /不是当前选手/);
  await p2.waitForTimeout(300);
  if (lines.some((l) => l === 'score 2 7.75'))
    fail('the late score for the previous contestant was taken');
  if (await p2.evaluate(storedPending))
    fail('the dropped score stayed on the phone');
  if (shots)
    await p2.screenshot({ path: path.join(shots, 'judge_page_late_score.png') });

  await score(p2, ['6']);
  await expectText(p2, 'status', '已收到 6');
  await awaitLine((l) => l === 'score 2 6');

  // The operator confirms: final on every phone, the pad closed.
  await command('confirm 9.00,6,7.25');
  await expectText(p3, 'status', '已定分 7.25');
  if (!(await p3.locator('#send').isDisabled()))
    fail('send stayed open after the confirmation');
  if (shots)
    await p3.screenshot({ path: path.join(shots, 'judge_page_final.png') });
  // A phone with a browser of its own, killed a second after a score it could not send: the score is
  // there when the browser comes back, and goes once the program is back.
  await command('perf 1 3');
  await command('reset 3');
  const url3 = lines.filter((l) => l.startsWith('url 3 ')).pop().split(' ')[2];
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'judge-phone-'));
  let own = await ownBrowser(profile);
  let page = await own.context.newPage();
  await page.goto(url3);
  await expectText(page, 'state', '已连接');
  await expectText(page, 'contestant', /选手3$/);
  await command('stop');
  await expectText(page, 'state', /已断开/);
  // The default context of a browser reached this way has no touch: the keys are clicked.
  for (const k of ['clear', '6', '.', '7', '5', 'send'])
    await page.locator(k === 'clear' || k === 'send' ? '#' + k : `#pad button[data-key="${k}"]`).click();
  await expectText(page, 'status', /未送到/);
  await page.waitForTimeout(1000);
  own.kill();
  await command('start');
  own = await ownBrowser(profile);
  page = await own.context.newPage();
  await page.goto(url3.split('#')[0]);
  await expectText(page, 'state', '已连接', 20000);
  await awaitLine((l) => l === 'score 3 6.75', 20000);
  await expectText(page, 'status', '已收到 6.75');
  own.kill();
  fs.rmSync(profile, { recursive: true, force: true });
  console.log('judge page: three phones paired, scored, moved on and were confirmed; a kept score outlived a killed browser');
} catch (e) {
  if (!process.exitCode)
    console.error('FAIL: ' + e.message);
  process.exitCode = 1;
} finally {
  for (const kill of ownBrowsers)
    kill();
  if (browser)
    await browser.close();
  harness.stdin.end('quit\n');
}
