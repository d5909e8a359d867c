// The layout sample's handlers: a level picked in the list, a difficulty
// chosen in the drop-down, a button that widens the board (its corner-anchored
// children follow the board's right edge), and the keys.
// The list's entries again: a script reads a list's itemIndex, not its texts.
var levelNames = ['Meadow', 'Cave', 'Castle'];

function pickLevel(index) {
  heading.text = 'Level: ' + levelNames[index];
  engine.log('Level ' + levelNames[index]);
}

function chooseDifficulty(name) {
  engine.log('Difficulty ' + name);
}

function widenBoard() {
  board.width = board.width + 40;
  engine.log('Wider button at ' + widen.position.x + ',' + widen.position.y);
}

function layoutKey(key) {
  if (key == 100) {  // the letter d
    applet.debugInfo = !applet.debugInfo;
    engine.log('Debug info ' + (applet.debugInfo ? 'on' : 'off'));
    return;
  }
  if (key == VK_ESCAPE) {
    applet.fadeScreenToColorWait('#FF000000', 0.5);
    engine.log('Bye');
    applet.terminate();
  }
}
