"use strict";
// The Flash panel: one emulator element per movie, driven by the program through window.quelmora.
// It reports to the program with console lines "quelmora:<state>".

(() => {
    // Offline, silent and unobtrusive: no network, menus, splash, overlays or messages.
    const options = {
        autoplay: "off",
        allowNetworking: "none",
        allowScriptAccess: false,
        openUrlMode: "deny",
        upgradeToHttps: false,
        compatibilityRules: false,
        contextMenu: "off",
        menu: false,
        showSwfDownload: false,
        splashScreen: false,
        preloader: false,
        unmuteOverlay: "hidden",
        warnOnUnsupportedContent: false,
        letterbox: "on",
        scale: "showAll",
        forceScale: true,
        polyfills: false,
        publicPath: "ruffle/",
        logLevel: "error",
    };
    window.RufflePlayer = window.RufflePlayer || {};
    window.RufflePlayer.config = options;

    // Hides everything the emulator could draw over the movie: play button, overlays, menus, error pages.
    const quietStyle = "#play-button, #unmute-overlay, #splash-screen, #message-overlay, #panic,"
        + " #context-menu-overlay, #virtual-keyboard, .modal { display: none !important; }";

    let element = null;  // the current movie's player element
    let ready = false;   // its movie is loaded
    let playing = false; // what the program asked for last
    let generation = 0;  // tells apart the reports of earlier movies

    const report = (state) => console.info("quelmora:" + state);

    function apply() {
        if (!element || !ready)
            return;
        const api = element.ruffle();
        if (playing)
            api.resume();
        else
            api.suspend();
    }

    function discard() {
        if (element) {
            element.remove();
            element = null;
        }
        ready = false;
    }

    function setMovie(url) {
        discard();
        playing = false;
        const mine = ++generation;
        if (!url) {
            report("empty");
            return;
        }
        const ruffle = window.RufflePlayer.newest();
        element = ruffle.createPlayer();
        const style = document.createElement("style");
        style.textContent = quietStyle;
        element.shadowRoot.appendChild(style);
        // An error page of the emulator means the movie is broken: drop its element, keep the panel dark.
        const failed = () => {
            if (mine !== generation)
                return;
            discard();
            report("failed");
        };
        new MutationObserver(() => {
            if (element && element.shadowRoot.getElementById("panic"))
                failed();
        }).observe(element.shadowRoot, { childList: true, subtree: true });
        element.addEventListener("loadedmetadata", () => {
            if (mine !== generation)
                return;
            ready = true;
            if (playing) {
                apply();
            } else {
                // A movie not playing yet still shows its first frame: the emulator draws only once a frame's
                // time has passed while playing, so play that long and two drawn frames more, then halt.
                const api = element.ruffle();
                const frameTime = 1000 / Math.max(1, (api.metadata && api.metadata.frameRate) || 12);
                const since = performance.now();
                const halt = () => {
                    if (mine !== generation)
                        return;
                    if (performance.now() - since < frameTime)
                        requestAnimationFrame(halt);
                    else
                        requestAnimationFrame(() => requestAnimationFrame(() => mine === generation && apply()));
                };
                api.resume();
                requestAnimationFrame(halt);
            }
            report("ready");
        });
        document.body.appendChild(element);
        element.ruffle().load({ ...options, url }).catch(failed);
    }

    // Loads the emulator with an empty movie in a hidden element, so that the first real movie starts sooner.
    let warming = false;
    function warmUp() {
        if (warming)
            return;
        warming = true;
        const emptyMovie = [70, 87, 83, 10, 20, 0, 0, 0, 48, 10, 0, 160, 0, 12, 1, 0, 64, 0, 0, 0];
        const spare = window.RufflePlayer.newest().createPlayer();
        spare.style.cssText = "position: fixed; left: 0; top: 0; width: 1px; height: 1px; opacity: 0;";
        const done = () => {
            spare.remove();
            report("warm");
        };
        spare.addEventListener("loadedmetadata", done);
        document.body.appendChild(spare);
        spare.ruffle().load({ ...options, data: emptyMovie }).catch(done);
    }

    window.quelmora = {
        warmUp,
        setMovie,
        play() { playing = true; apply(); },
        stop() { playing = false; apply(); },
        stopPlay() { playing = false; apply(); },
    };
    report("page");
})();
