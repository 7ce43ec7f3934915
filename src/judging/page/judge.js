// The judge's phone: pairs with its seat, shows the contestant being scored, sends the judge's score and
// keeps an unsent one until the program has echoed it. The seat's token comes from the address's
// fragment, which never travels in a request; it is taken off the address bar at once. Once paired, the
// phone proves its seat by answering each connection's challenge with an HMAC of its key: the key itself
// never travels again.
import { hmac } from './noble/hmac.js';
import { sha256 } from './noble/sha2.js';
import { bytesToHex, utf8ToBytes } from './noble/utils.js';

// What the phone keeps: in IndexedDB, each write committed with strict durability, so an unsent score
// survives the browser being killed a moment later (localStorage reaches the disk only in its own time).
// A copy in memory answers reads at once.
const store = (() => {
  const memory = new Map();
  let db = null;
  function open() {
    return new Promise((resolve) => {
      let request;
      try { request = indexedDB.open('quelmora', 1); } catch (e) { resolve(null); return; }
      request.onupgradeneeded = () => request.result.createObjectStore('kv');
      request.onsuccess = () => resolve(request.result);
      request.onerror = () => resolve(null);
    });
  }
  function write(name, value) {
    if (!db)
      return Promise.resolve(false);
    return new Promise((resolve) => {
      try {
        const tx = db.transaction('kv', 'readwrite', { durability: 'strict' });
        if (value === null) tx.objectStore('kv').delete(name);
        else tx.objectStore('kv').put(value, name);
        tx.oncomplete = () => resolve(true);
        tx.onerror = tx.onabort = () => resolve(false);
      } catch (e) { resolve(false); }
    });
  }
  return {
    async load() {
      db = await open();
      if (!db)
        return;
      await new Promise((resolve) => {
        try {
          const tx = db.transaction('kv', 'readonly');
          const cursor = tx.objectStore('kv').openCursor();
          cursor.onsuccess = () => {
            const c = cursor.result;
            if (!c) { resolve(); return; }
            memory.set(c.key, c.value);
            c.continue();
          };
          cursor.onerror = () => resolve();
        } catch (e) { resolve(); }
      });
    },
    get(name) { return memory.has(name) ? memory.get(name) : null; },
    set(name, value) { memory.set(name, value); return write(name, value); },
    drop(name) { memory.delete(name); return write(name, null); },
  };
})();
const $ = (id) => document.getElementById(id);

// The answer to a challenge: HMAC-SHA-256 of the nonce, keyed by the SHA-256 of the device's key.
function answer(key, nonce) {
  return bytesToHex(hmac(sha256, sha256(utf8ToBytes(key)), utf8ToBytes(nonce)));
}

{

  const NOTICES = {
    token: '这个二维码已经失效，请找操作员重新扫码。',
    expired: '配对码已过期，请找操作员要一个新的。',
    locked: '这个评委席位已锁定，请找操作员解锁。',
    throttled: '尝试次数太多，请稍后再试，或找操作员。',
    refused: '操作员没有同意这台手机评分。',
    unknown: '这台手机的配对已失效，请找操作员重新扫码。',
    replaced: '这个评委席位已由另一台手机接管，本机不再评分。',
  };
  const REJECTS = {
    other_performance: '不是当前选手的分数，未计入',
    final: '分数已确定，不能再改',
    out_of_range: '超出本轮范围，未计入',
    bad_format: '格式不对，未计入',
    older_seq: '已有更新的分数',
    not_judging: '本场没有这个评委席位',
    no_performance: '现在没有选手在评分',
  };

  // The token: from the fragment, kept for this tab only, then off the address bar.
  let token = null;
  const fragment = new URLSearchParams(location.hash.replace(/^#/, ''));
  if (fragment.get('t')) {
    token = fragment.get('t');
    try { sessionStorage.setItem('quelmora.token', token); } catch (e) { /* private mode */ }
    history.replaceState(null, '', location.pathname);
  } else {
    try { token = sessionStorage.getItem('quelmora.token'); } catch (e) { token = null; }
  }
  let code = null;

  let socket = null;
  let paired = false;
  let stopped = false;
  let retries = 0;
  let retryTimer = null;
  let lastHeard = 0;
  let seat = 0;
  let perf = null;     // what the program scores now
  let typed = '';
  let pending = null;  // {round, pos, seq, value}: sent or to be sent, not yet echoed
  let sentAt = 0;
  await store.load();
  try { pending = JSON.parse(store.get('pending') || 'null'); } catch (e) { pending = null; }

  function setState(text, kind) {
    const el = $('state');
    el.textContent = text;
    el.className = 'state ' + kind;
  }
  function setStatus(text, kind) {
    const el = $('status');
    el.textContent = text;
    el.className = 'status ' + (kind || '');
  }
  function notice(text, calm) {
    const el = $('notice');
    el.textContent = text || '';
    el.hidden = !text;
    el.className = 'card notice' + (calm ? ' calm' : '');
  }
  function send(message) {
    if (socket && socket.readyState === WebSocket.OPEN) {
      socket.send(JSON.stringify(message));
      return true;
    }
    return false;
  }

  // --- Connection ---

  function connect() {
    clearTimeout(retryTimer);
    retryTimer = null;
    if (stopped || (socket && socket.readyState <= WebSocket.OPEN))
      return;
    const key = store.get('key');
    if (!token && !key && !code) {
      showPairing();
      return;
    }
    setState(retries ? '已断开，正在重连…' : '连接中…', retries ? 'disconnected' : 'connecting');
    paired = false;
    const ws = new WebSocket('ws://' + location.host + '/ws');
    socket = ws;
    ws.onopen = () => { lastHeard = Date.now(); };
    ws.onmessage = (event) => {
      lastHeard = Date.now();
      let m;
      try { m = JSON.parse(event.data); } catch (e) { return; }
      handle(m);
    };
    ws.onclose = () => {
      if (socket !== ws)
        return;
      socket = null;
      paired = false;
      if (stopped)
        return;
      setState('已断开，正在重连…', 'disconnected');
      if (pending)
        setStatus(pending.value + ' 未送到，连上后自动重发', 'warn');
      const delay = Math.min(8000, 500 * Math.pow(2, retries)) * (0.75 + Math.random() * 0.5);
      retries = Math.min(retries + 1, 6);
      retryTimer = setTimeout(connect, delay);
    };
  }

  function reconnectNow() {
    retries = 0;
    if (!socket)
      connect();
  }

  // Heartbeat: the program marks the seat amber without it; a silent program means a dead connection.
  setInterval(() => {
    if (!socket || socket.readyState !== WebSocket.OPEN)
      return;
    if (Date.now() - lastHeard > 8000) {
      socket.close();
      return;
    }
    send({ t: 'ping' });
    if (paired && pending && Date.now() - sentAt > 4000)
      sendPending();
  }, 2000);

  // Phones sleep and drop the connection: on waking, reconnect at once and send what is unsent.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState !== 'visible')
      return;
    if (!socket)
      reconnectNow();
    else if (paired)
      sendPending();
  });
  window.addEventListener('online', reconnectNow);

  // The server speaks first: a challenge, answered with the device's proof, or the seat's token or code.
  function hello(nonce) {
    const message = { t: 'hello' };
    const key = store.get('key');
    const id = store.get('id');
    if (key && id && nonce) {
      message.device = id;
      message.proof = answer(key, nonce);
    }
    if (token) message.token = token;
    else if (code) message.code = code;
    send(message);
  }

  let nonce = null;
  function handle(m) {
    switch (m.t) {
    case 'challenge':
      nonce = String(m.nonce || '');
      hello(nonce);
      break;
    case 'welcome':
      paired = true;
      retries = 0;
      code = null;
      seat = m.seat;
      if (m.key) {
        // A new pairing: a key of its own, a fresh sequence, and the token spent.
        store.set('key', m.key);
        store.set('id', m.id);
        store.set('seq', '0');
        token = null;
        try { sessionStorage.removeItem('quelmora.token'); } catch (e) { /* private mode */ }
      }
      setState('已连接', 'connected');
      $('seat').textContent = m.seat + '号评委';
      $('judge').textContent = m.judge || '';
      $('pairing').hidden = true;
      notice('');
      break;
    case 'perf':
      showPerformance(m);
      sendPending();
      break;
    case 'ack':
      if (pending && pending.seq === m.seq && pending.round === m.round && pending.pos === m.pos) {
        pending = null;
        store.drop('pending');
      }
      if (perf && perf.round === m.round && perf.pos === m.pos) {
        perf.value = m.value;
        setStatus('已收到 ' + m.value, 'ok');
      }
      break;
    case 'reject':
      if (m.reason === 'unsaved') {
        // The program could not keep it yet: it stays here and goes again.
        setStatus('程序暂时未能保存，稍后自动重发', 'warn');
        break;
      }
      if (pending && (pending.seq === m.seq || !m.seq)) {
        pending = null;
        store.drop('pending');
      }
      if (m.reason !== 'older_seq')
        setStatus(REJECTS[m.reason] || '分数未计入', 'bad');
      break;
    case 'wait':
      setState('等待操作员同意…', 'connecting');
      notice('这个席位已有一台手机。请等待操作员同意用这台手机评分。', true);
      break;
    case 'replaced':
      stopped = true;
      store.drop('key');
      store.drop('id');
      store.drop('pending');
      $('scoring').hidden = true;
      notice(NOTICES.replaced);
      setState('已断开', 'disconnected');
      break;
    case 'denied':
      denied(m.reason);
      break;
    default:
      break;
    }
  }

  function denied(reason) {
    if (reason === 'code') {
      code = null;
      showPairing('配对码不对，请再输一次。');
      return;
    }
    if (reason === 'token' || reason === 'unknown') {
      store.drop('key');
      store.drop('id');
      token = null;
      try { sessionStorage.removeItem('quelmora.token'); } catch (e) { /* private mode */ }
    }
    if (reason === 'expired') {
      code = null;
      showPairing(NOTICES.expired);
      return;
    }
    stopped = reason !== 'throttled';
    notice(NOTICES[reason] || '连接被拒绝。');
    setState('已断开', 'disconnected');
    $('scoring').hidden = true;
    if (reason === 'throttled') {
      retries = 6;
    } else if (reason === 'token' || reason === 'unknown') {
      stopped = false;
      showPairing(NOTICES[reason]);
    }
  }

  function showPairing(message) {
    $('pairing').hidden = false;
    $('scoring').hidden = true;
    setState('未配对', 'disconnected');
    notice(message || '');
  }

  $('codeForm').addEventListener('submit', (event) => {
    event.preventDefault();
    const value = $('code').value.replace(/\D/g, '');
    if (value.length !== 8) {
      notice('配对码是八位数字。');
      return;
    }
    code = value;
    $('code').value = '';
    notice('');
    if (socket && socket.readyState === WebSocket.OPEN && !paired) {
      hello(null); // that connection's challenge is answered already
    } else {
      stopped = false;
      reconnectNow();
    }
  });

  // --- Scoring ---

  function showPerformance(m) {
    const changed = !perf || perf.round !== m.round || perf.pos !== m.pos;
    perf = m;
    if (m.seq && Number(store.get('seq') || 0) < m.seq)
      store.set('seq', String(m.seq));
    $('scoring').hidden = false;
    if (!m.scoring) {
      $('round').textContent = '';
      $('contestant').textContent = m.round ? '本场不需要这个席位评分' : '请等待下一位选手';
      $('range').textContent = '';
      typed = '';
      setStatus('', '');
      render();
      return;
    }
    $('round').textContent = m.roundName;
    $('contestant').textContent = (m.number ? m.number + '号  ' : '') + (m.name || '');
    $('range').textContent = '分数范围 ' + m.lowest + ' – ' + m.highest + '，最多 ' + m.decimals + ' 位小数';
    if (changed)
      typed = '';
    if (m.final) {
      setStatus('已定分 ' + (m.finalValue || m.value || ''), 'ok');
    } else if (pending && pending.round === m.round && pending.pos === m.pos) {
      setStatus('发送中…', 'warn');
    } else if (m.value) {
      setStatus('已收到 ' + m.value, 'ok');
    } else if (changed) {
      setStatus('请打分', '');
    }
    render();
  }

  function validScore(text) {
    if (!perf || !perf.scoring)
      return false;
    const shape = new RegExp('^\\d+(\\.\\d{1,' + Math.max(1, perf.decimals) + '})?$');
    if (!shape.test(text) || (perf.decimals <= 0 && text.includes('.')))
      return false;
    const v = Number(text);
    return v >= perf.lowest - 1e-9 && v <= perf.highest + 1e-9;
  }

  // Whether `text` can still become a score of the round's range.
  function validPrefix(text) {
    if (text.length > 7 || !/^\d*(\.\d*)?$/.test(text))
      return false;
    const dot = text.indexOf('.');
    if (dot >= 0 && text.length - dot - 1 > perf.decimals)
      return false;
    return text === '' || Number(text.replace(/\.$/, '')) <= perf.highest;
  }

  function render() {
    const el = $('value');
    el.textContent = typed || '—';
    el.className = 'value' + (typed ? '' : ' empty');
    const open = !!(perf && perf.scoring && !perf.final);
    for (const b of document.querySelectorAll('#pad button'))
      b.disabled = !open;
    $('dot').disabled = !open || !perf.decimals || typed.includes('.');
    $('clear').disabled = !open;
    $('send').disabled = !open || !validScore(typed);
  }

  function press(key) {
    if (!perf || !perf.scoring || perf.final)
      return;
    let next = typed;
    if (key === 'back')
      next = typed.slice(0, -1);
    else if (key === '.')
      next = (typed || '0') + '.';
    else
      next = typed === '0' ? key : typed + key;
    if (validPrefix(next))
      typed = next;
    render();
  }

  for (const b of document.querySelectorAll('#pad button'))
    b.addEventListener('click', () => press(b.dataset.key));
  $('clear').addEventListener('click', () => { typed = ''; render(); });
  $('send').addEventListener('click', () => {
    if (!validScore(typed))
      return;
    const seq = Math.max(Number(store.get('seq') || 0), perf.seq || 0) + 1;
    store.set('seq', String(seq));
    pending = { round: perf.round, pos: perf.pos, seq: seq, value: typed };
    store.set('pending', JSON.stringify(pending)); // committed in the background; sent meanwhile
    if (!sendPending())
      setStatus(pending.value + ' 未送到，连上后自动重发', 'warn');
  });

  function sendPending() {
    if (!pending || !paired)
      return false;
    if (!send({ t: 'score', round: pending.round, pos: pending.pos, seq: pending.seq, value: pending.value }))
      return false;
    sentAt = Date.now();
    if (perf && perf.round === pending.round && perf.pos === pending.pos)
      setStatus('发送中…', 'warn');
    return true;
  }

  render();
  connect();
}
