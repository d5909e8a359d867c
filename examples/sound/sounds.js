// Space plays the beep, Return runs the lamp's sound effect, M stops and
// starts the music, the arrows turn the sound volume down and up.
var musicOn = false;

function soundReady() {
  soundEngine.musicVolume = 0.4;
  tune.play();
  musicOn = true;
  engine.log('Music playing, sound volume ' + soundEngine.soundVolume);
}

function soundKey(key) {
  if (key == VK_SPACE) {
    beep.play();
    engine.log('Beep');
  } else if (key == VK_RETURN) {
    lamp.runEffect('ping');
    engine.log('Ping');
  } else if (key == 109) {  // the letter m
    if (musicOn) tune.stop(); else tune.play();
    musicOn = !musicOn;
    engine.log('Music ' + (musicOn ? 'on' : 'off'));
  } else if (key == VK_DOWN || key == VK_UP) {
    var volume = soundEngine.soundVolume + (key == VK_UP ? 0.25 : -0.25);
    soundEngine.soundVolume = Math.min(1, Math.max(0, volume));
    engine.log('Sound volume ' + soundEngine.soundVolume);
  } else if (key == VK_ESCAPE) {
    engine.log('Bye');
    applet.terminate();
  }
}
