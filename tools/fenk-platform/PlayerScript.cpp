#include "tools/fenk-platform/PlayerScript.h"

namespace fenk {
namespace {

constexpr std::string_view kScript = R"js("use strict";
// The local platform's stand-in for the online video player: no video, only a box that names what would
// play and how it stands, and the events the real player reports, in the same shapes.
(function () {
  var UNSTARTED = -1, ENDED = 0, PLAYING = 1, PAUSED = 2, CUED = 5;
  var STATE_NAMES = { "-1": "unstarted", "0": "ended", "1": "playing", "2": "paused", "5": "cued" };
  var DURATION_SECONDS = 8;

  function styled(tag, css) {
    var element = document.createElement(tag);
    element.style.cssText = css;
    return element;
  }

  function Player(elementId, params) {
    var self = this;
    var events = params.events || {};
    var playlist = (params.playerVars || {}).list;
    var item = 0;
    var cleared = false;
    var state = UNSTARTED;
    var muted = false;
    var qualityReported = false;
    var playedSeconds = 0;  // up to the last pause, seek or start
    var startedAt = null;   // Date.now() while playing
    var endTimer = null;

    var box = styled("div", "position:absolute;top:0;left:0;right:0;bottom:0;display:flex;" +
      "flex-direction:column;align-items:center;justify-content:center;background:#14181f;color:#eef0f4;" +
      "font:16px sans-serif;");
    var title = styled("div", "font-size:22px;margin-bottom:8px;");
    var stateLine = styled("div", "color:#9fb4d0;");
    box.appendChild(title);
    box.appendChild(stateLine);
    var host = document.getElementById(elementId);
    if (host) {
      host.textContent = "";
      host.appendChild(box);
    }

    function currentTime() {
      var running = startedAt === null ? 0 : (Date.now() - startedAt) / 1000;
      return Math.min(DURATION_SECONDS, playedSeconds + running);
    }

    function emit(handler, data) {
      if (typeof events[handler] === "function") events[handler]({ target: self, data: data });
    }

    function describe() {
      title.textContent = cleared ? "No video" :
        playlist ? "Playlist " + playlist + ", video " + (item + 1) : "Video " + params.videoId;
      stateLine.textContent = STATE_NAMES[state] + " at " + currentTime().toFixed(1) + " s" +
        (muted ? ", muted" : "");
    }

    function enter(newState) {
      state = newState;
      describe();
      emit("onStateChange", newState);
    }

    function halt(seconds) {
      clearTimeout(endTimer);
      endTimer = null;
      startedAt = null;
      playedSeconds = seconds;
    }

    function run() {
      clearTimeout(endTimer);
      startedAt = Date.now();
      endTimer = setTimeout(function () {
        halt(DURATION_SECONDS);
        enter(ENDED);
      }, (DURATION_SECONDS - playedSeconds) * 1000);
    }

    this.playVideo = function () {
      if (cleared || state === PLAYING) return;
      if (state === ENDED) playedSeconds = 0;
      run();
      enter(PLAYING);
      if (!qualityReported) {
        qualityReported = true;
        emit("onPlaybackQualityChange", "medium");
      }
    };
    this.pauseVideo = function () {
      if (state !== PLAYING) return;
      halt(currentTime());
      enter(PAUSED);
    };
    // The real player leaves a stopped video in one of several states; this one cues it again, ready to
    // play from the start.
    this.stopVideo = function () {
      halt(0);
      enter(CUED);
    };
    this.seekTo = function (seconds) {
      var wasPlaying = state === PLAYING;
      halt(Math.max(0, Math.min(DURATION_SECONDS, Number(seconds) || 0)));
      if (wasPlaying) run();
      describe();
    };
    this.mute = function () {
      muted = true;
      describe();
    };
    this.unMute = function () {
      muted = false;
      describe();
    };
    this.clearVideo = function () {
      halt(0);
      cleared = true;
      enter(UNSTARTED);
    };
    // A single video has only itself to move to: it starts again.
    function moveBy(step) {
      item = playlist ? Math.max(0, item + step) : 0;
      cleared = false;
      halt(0);
      state = UNSTARTED;
      self.playVideo();
    }
    this.nextVideo = function () { moveBy(1); };
    this.previousVideo = function () { moveBy(-1); };
    this.getDuration = function () { return DURATION_SECONDS; };
    this.getCurrentTime = currentTime;

    describe();
    setTimeout(function () { emit("onReady"); }, 0);
  }

  window.YT = { Player: Player };
  if (typeof window.onYouTubeIframeAPIReady === "function") window.onYouTubeIframeAPIReady();
})();
)js";

}  // namespace

std::string_view playerScript() { return kScript; }

}  // namespace fenk
