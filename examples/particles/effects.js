// The particles sample: a click starts a burst where it lands, the tick
// reports when its sparks fly and when the last one died, and Space stops
// or restarts the coin's animation.
var sparksSeen = false;

function burstAt(x, y) {
  emitter.position.x = Math.round(x);
  emitter.position.y = Math.round(y);
  emitter.runEffect('burst');
  engine.log('Burst at ' + emitter.position.x + ',' + emitter.position.y);
}

function watchBurst() {
  var count = burst.particleCount();
  if (count > 0 && !sparksSeen) {
    sparksSeen = true;
    engine.log('Sparks flying');
  } else if (count == 0 && sparksSeen) {
    sparksSeen = false;
    engine.log('Burst over');
  }
}

function effectsKey(key) {
  if (key == VK_SPACE) {
    if (spin.running) {
      coin.stopEffect('spin');
    } else {
      coin.runEffect('spin');
    }
    engine.log('Coin spin ' + (spin.running ? 'on' : 'off'));
    return;
  }
  if (key == VK_ESCAPE) {
    engine.log('Bye');
    applet.terminate();
  }
}
